#include "tools/CarriedScripts.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

#include <QFile>

namespace {
QString load(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

namespace CarriedScripts {
QString beautifier() {
    static const QString text = load(":/scripts/beautifier.js");
    return text;
}
QString unpacker() {
    static const QString text = load(":/scripts/unpacker.js");
    return text;
}
QString minifier() {
    static const QString text = load(":/scripts/jsmin.js");
    return text;
}
QString deobfuscator() {
    static const QString text = load(":/scripts/deobfuscator.js");
    return text;
}
QString environment() {
    static const QString text = load(":/scripts/environment.js");
    return text;
}
} // namespace CarriedScripts

ToolResult callCarried(const QString& script, const QString& entry, const QList<Variant>& args,
                       const QString& notText) {
    ToolResult result;
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.setLanguage(QStringLiteral("JScript"));
        engine.setResultTextLimit(kWholeText);
        engine.addCode(script);
        if (engine.error().number != 0) {
            result = ToolResult::failure(engine.error().description);
            return;
        }
        const Variant out = engine.run(entry, args);
        if (engine.error().number != 0)
            result = ToolResult::failure(engine.error().description);
        else if (out.vt() != Variant::BStr)
            result = ToolResult::failure(notText);
        else
            result = ToolResult::success(out.stringValue());
    });
    return result;
}
