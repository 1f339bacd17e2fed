#include "tools/MinifyScript.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

ToolResult MinifyScript(const QString& source) {
    ToolResult result;
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.setLanguage(QStringLiteral("JScript"));
        engine.setResultTextLimit(kWholeText); // code for an editor: never cut
        engine.addCode(CarriedScripts::minifier());
        if (engine.error().number != 0) {
            result = ToolResult::failure(engine.error().description);
            return;
        }
        const Variant out =
            engine.run(QStringLiteral("jsmin"),
                       {Variant::fromString({}), Variant::fromString(source), Variant::fromInt(2)});
        if (engine.error().number != 0)
            result = ToolResult::failure(engine.error().description);
        else if (out.vt() != Variant::BStr)
            result = ToolResult::failure(QStringLiteral("压缩程序没有返回文本"));
        else
            result = ToolResult::success(out.stringValue());
    });
    return result;
}

QString dropEmptyFirstLine(const QString& minified) {
    if (minified.startsWith(QLatin1String("\r\n")))
        return minified.mid(2);
    if (minified.startsWith(QLatin1Char('\n')) || minified.startsWith(QLatin1Char('\r')))
        return minified.mid(1);
    return minified;
}
