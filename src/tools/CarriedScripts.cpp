#include "tools/CarriedScripts.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

#include <QFile>

#include <memory>
#include <unordered_map>

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
QString sourceScan() {
    static const QString text = load(":/scripts/sourcescan.js");
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

namespace {
// The engines of the carried tools, one per bundle and thread, loaded at first use: the
// next "格式化" runs the layout already compiled and warm. Keyed by the bundle's text,
// which each accessor above keeps in one place.
std::unordered_map<const void*, std::unique_ptr<ScriptEngine>>& toolEngines() {
    static thread_local std::unordered_map<const void*, std::unique_ptr<ScriptEngine>> engines;
    return engines;
}
} // namespace

ToolResult callCarried(const QString& script, const QString& entry, const QList<Variant>& args,
                       const QString& notText) {
    ToolResult result;
    ScriptThread::instance().call([&] {
        std::unique_ptr<ScriptEngine>& engine = toolEngines()[script.constData()];
        if (!engine) {
            auto fresh = std::make_unique<ScriptEngine>();
            fresh->setLanguage(QStringLiteral("JScript"));
            fresh->setResultTextLimit(kWholeText);
            fresh->addCode(script);
            if (fresh->error().number != 0) {
                result = ToolResult::failure(fresh->error().description);
                return;
            }
            engine = std::move(fresh);
        }
        const Variant out = engine->run(entry, args);
        const ScriptError error = engine->error();
        // A stop ends the tool wherever it was; its next call starts from a fresh load.
        if (error.number == ScriptError::Stopped)
            engine.reset();
        if (error.number != 0)
            result = ToolResult::failure(error.description);
        else if (out.vt() != Variant::BStr)
            result = ToolResult::failure(notText);
        else
            result = ToolResult::success(out.stringValue());
    });
    return result;
}
