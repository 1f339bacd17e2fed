#include "tools/UnpackScript.h"

#include "engine/CarriedScript.h"
#include "engine/ScriptThread.h"
#include "script/ScriptHost.h"
#include "tools/DeobfuscateScript.h"

namespace {
// Often enough that a time-out or "停止" ends an unpack promptly.
constexpr double kCheckInterval = 0.05;
} // namespace

double defaultUnpackSeconds() {
    return DeobOptions{}.sandboxSeconds;
}

void AddUnpacker(ScriptHost& host) {
    host.Language(QStringLiteral("JScript"));
    host.AddCode(CarriedScripts::unpacker());
}

ToolResult UnpackScript(const QString& source, double limitSeconds) {
    if (limitSeconds <= 0.0)
        limitSeconds = defaultUnpackSeconds();
    ToolResult result;
    ScriptThread::instance().call([&] {
        // A fresh engine for every unpack: the decoders it runs are the script's own code.
        CarriedScript unpacker(CarriedScripts::unpacker(),
                               {kCheckInterval, QStringLiteral("vexo:unpacker"), {}});
        unpacker.setDeadline(limitSeconds);
        result =
            unpacker.call(QStringLiteral("unpacker_filter"), {Variant::fromString(source)})
                .toolResult(QStringLiteral("解密程序没有返回文本"),
                            QStringLiteral("解密超时（超过 %1 秒），已停止").arg(limitSeconds));
    });
    return result;
}
