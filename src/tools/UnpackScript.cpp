#include "tools/UnpackScript.h"

#include "script/ScriptHost.h"

void AddUnpacker(ScriptHost& host) {
    host.Language(QStringLiteral("JScript"));
    host.AddCode(CarriedScripts::unpacker());
}

ToolResult UnpackScript(ScriptHost& host, const QString& source) {
    const Variant out = host.Run(QStringLiteral("unpacker_filter"), source);
    const ScriptError error = host.Error();
    if (error.number != 0)
        return ToolResult::failure(error.description);
    if (out.vt() != Variant::BStr)
        return ToolResult::failure(QStringLiteral("解密程序没有返回文本"));
    return ToolResult::success(out.stringValue());
}
