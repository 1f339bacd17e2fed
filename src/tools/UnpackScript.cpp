#include "tools/UnpackScript.h"

#include "engine/Sandbox.h"
#include "engine/ScriptThread.h"
#include "script/ScriptHost.h"
#include "tools/DeobfuscateScript.h"

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
    // A reason thrown by the unpacker comes back as its bare message.
    const QString code = CarriedScripts::unpacker() +
                         QStringLiteral("\n;try { unpacker_filter(vexoInput); } catch (e) {"
                                        " throw String(e && e.message || e); }");
    SandboxRun run;
    ScriptThread::instance().call([&] { run = runInSandbox(code, limitSeconds, source); });
    switch (run.status) {
    case SandboxRun::Ok:
        return ToolResult::success(run.value);
    case SandboxRun::Threw:
        return ToolResult::failure(run.value);
    case SandboxRun::TimedOut:
        return ToolResult::failure(
            QStringLiteral("解密超时（超过 %1 秒），已停止").arg(limitSeconds));
    case SandboxRun::Stopped:
        break;
    }
    return ToolResult::failure(QStringLiteral("脚本运行已被用户中止"));
}
