#include "tools/FormatScript.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

QString fixLineBreaks(QString formatted) {
    formatted.replace(QLatin1String("\n    "), QLatin1String("\r\n"));
    return formatted;
}

ToolResult FormatScript(const QString& source) {
    ToolResult result;
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.setLanguage(QStringLiteral("JScript"));
        engine.setResultTextLimit(kWholeText); // code for an editor: never cut
        engine.addCode(CarriedScripts::beautifier());
        if (engine.error().number != 0) {
            result = ToolResult::failure(engine.error().description);
            return;
        }
        const Variant out =
            engine.run(QStringLiteral("format"),
                       {Variant::fromString(source), Variant::fromString({}),
                        Variant::fromString({}), Variant::fromString({}), Variant::fromString({})});
        if (engine.error().number != 0)
            result = ToolResult::failure(engine.error().description);
        else if (out.vt() != Variant::BStr)
            result = ToolResult::failure(QStringLiteral("格式化程序没有返回文本"));
        else
            result = ToolResult::success(fixLineBreaks(out.stringValue()));
    });
    return result;
}
