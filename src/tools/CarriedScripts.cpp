#include "tools/CarriedScripts.h"

#include "engine/CarriedScript.h"
#include "engine/ScriptThread.h"

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
std::unordered_map<const void*, std::unique_ptr<CarriedScript>>& toolEngines() {
    static thread_local std::unordered_map<const void*, std::unique_ptr<CarriedScript>> engines;
    return engines;
}
} // namespace

ToolResult callCarried(const QString& script, const QString& entry, const QList<Variant>& args,
                       const QString& notText) {
    ToolResult result;
    ScriptThread::instance().call([&] {
        std::unique_ptr<CarriedScript>& engine = toolEngines()[script.constData()];
        if (!engine)
            engine = std::make_unique<CarriedScript>(script);
        const CarriedCall call = engine->call(entry, args);
        // A stop ends the tool wherever it was (also while it loaded); its next call
        // starts from a fresh load.
        if (!call.ok() && (call.status != CarriedCall::Threw || !engine->isLoaded()))
            engine.reset();
        result = call.toolResult(notText);
    });
    return result;
}
