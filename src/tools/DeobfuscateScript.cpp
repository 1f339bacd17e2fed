#include "tools/DeobfuscateScript.h"

#include "engine/CarriedScript.h"
#include "engine/JsHandle.h"
#include "engine/JscPrivate.h"
#include "engine/Sandbox.h"
#include "engine/ScriptThread.h"
#include "tools/CarriedScripts.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <memory>

namespace {
constexpr double kStopCheckInterval = 0.1;
constexpr qint64 kMebibyte = 1024 * 1024;
// From this size on a run's garbage is collected when it ends (see babel.js).
constexpr qsizetype kLargeSource = 1 << 18;

// The engine that runs the carried deobfuscator. The toolkit inside is large, so the
// engine is made on the first deobfuscation and kept for later ones; it lives in the
// script thread's storage and goes with that thread.
class ToolEngine {
public:
    ToolEngine()
        : m_script(CarriedScripts::deobfuscator(),
                   {kStopCheckInterval,
                    QStringLiteral("vexo:deobfuscator"),
                    {{"vexoSandboxRun",
                      [this](JSContextRef ctx, const std::vector<JSValueRef>& args) {
                          return sandboxRun(ctx, args);
                      }},
                     {"vexoNow", [](JSContextRef ctx, const auto&) { return now(ctx); }},
                     {"vexoCollectGarbage", [](JSContextRef ctx, const auto&) {
                          JSSynchronousGarbageCollectForDebugging(ctx);
                          return JSValueRef(nullptr);
                      }}}}) {}

    CarriedScript& script() { return m_script; }

    // vexoDeobfuscate(source, options); the JSON text it returns.
    CarriedCall call(const QString& source, const QString& optionsJson, double sandboxSeconds) {
        m_sandboxSeconds = sandboxSeconds;
        return m_script.call(QStringLiteral("vexoDeobfuscate"),
                             {Variant::fromString(source), Variant::fromString(optionsJson)});
    }

private:
    // vexoSandboxRun(code) → { status: "ok" | "error" | "timeout" | "stopped", value }
    JSValueRef sandboxRun(JSContextRef ctx, const std::vector<JSValueRef>& args) const {
        const QString code = args.empty() ? QString() : jsValueToQString(ctx, args[0]);
        const SandboxRun run = runInSandbox(code, m_sandboxSeconds);
        static const char* const names[] = {"ok", "error", "timeout", "stopped"};
        JSObjectRef result = JSObjectMake(ctx, nullptr, nullptr);
        JsString status("status");
        JsString value("value");
        JSObjectSetProperty(ctx, result, status.get(),
                            jsMakeString(ctx, QString::fromLatin1(names[run.status])), 0, nullptr);
        JSObjectSetProperty(ctx, result, value.get(), jsMakeString(ctx, run.value), 0, nullptr);
        return result;
    }

    static JSValueRef now(JSContextRef ctx) {
        static QElapsedTimer clock;
        if (!clock.isValid())
            clock.start();
        return JSValueMakeNumber(ctx, double(clock.nsecsElapsed()) / 1e6);
    }

    double m_sandboxSeconds = 5.0;
    CarriedScript m_script;
};

std::unique_ptr<ToolEngine>& toolEngineSlot() {
    static thread_local std::unique_ptr<ToolEngine> engine;
    return engine;
}

QString optionsJson(const DeobOptions& options) {
    QJsonObject o;
    o.insert(QStringLiteral("unpacker"), CarriedScripts::unpacker());
    o.insert(QStringLiteral("rename"), options.rename);
    o.insert(QStringLiteral("maxBytes"), double(options.maxBytes));
    QJsonArray extra;
    for (const auto& [name, peel] : options.extraLayers)
        extra.append(QJsonObject{{QStringLiteral("name"), name}, {QStringLiteral("peel"), peel}});
    o.insert(QStringLiteral("extraLayers"), extra);
    o.insert(QStringLiteral("behaviourCheck"), options.behaviourCheck);
    if (!options.check.isEmpty())
        o.insert(QStringLiteral("check"), options.check);
    return QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact));
}

DeobBehaviour behaviourFromJson(const QJsonObject& o) {
    DeobBehaviour b;
    b.rolledBack = o.value(QStringLiteral("rolledBack")).toString();
    b.note = o.value(QStringLiteral("note")).toString();
    const QJsonValue check = o.value(QStringLiteral("check"));
    if (check.isObject()) {
        const QJsonObject c = check.toObject();
        b.haveCheck = true;
        b.checkOriginal = c.value(QStringLiteral("original")).toString();
        if (!b.rolledBack.isEmpty()) {
            b.checkStage = b.rolledBack;
            b.checkChanged = c.value(QStringLiteral("changed")).toString();
        }
    }
    return b;
}

// A module's file name stays inside the folder it is written to.
bool isSafeModuleName(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        name.contains(QLatin1Char(':')))
        return false;
    const QStringList parts = name.split(QLatin1Char('/'));
    for (const QString& part : parts)
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    return true;
}

DeobResult fromJson(const QString& text) {
    DeobResult result;
    const QJsonObject o = QJsonDocument::fromJson(text.toUtf8()).object();
    if (o.isEmpty()) {
        result.error = QStringLiteral("解密程序没有返回结果");
        return result;
    }
    for (const QJsonValue& v : o.value(QStringLiteral("history")).toArray()) {
        const QJsonObject h = v.toObject();
        DeobStage stage;
        stage.layer = h.value(QStringLiteral("layer")).toString();
        stage.bytesBefore = qint64(h.value(QStringLiteral("before")).toDouble());
        stage.bytesAfter = qint64(h.value(QStringLiteral("after")).toDouble());
        stage.ms = h.value(QStringLiteral("ms")).toDouble();
        stage.peeled = h.value(QStringLiteral("peeled")).toBool();
        stage.note = h.value(QStringLiteral("note")).toString();
        stage.code = h.value(QStringLiteral("code")).toString();
        result.history.append(stage);
    }
    result.stopped = o.value(QStringLiteral("stopped")).toBool();
    if (o.contains(QStringLiteral("error"))) {
        result.error = o.value(QStringLiteral("error")).toString();
        return result;
    }
    result.ok = true;
    result.code = o.value(QStringLiteral("code")).toString();
    result.keepLayout = o.value(QStringLiteral("keepLayout")).toBool();
    result.behaviour = behaviourFromJson(o.value(QStringLiteral("behaviour")).toObject());
    for (const QJsonValue& v : o.value(QStringLiteral("modules")).toArray()) {
        const QJsonObject m = v.toObject();
        DeobModule module{m.value(QStringLiteral("name")).toString(),
                          m.value(QStringLiteral("code")).toString(),
                          m.value(QStringLiteral("entry")).toBool()};
        if (isSafeModuleName(module.name))
            result.modules.append(module);
    }
    return result;
}

QString megabytes(qint64 bytes) {
    // One decimal, rounded up: one byte over the limit never reads as the limit itself.
    const qint64 tenths = (bytes * 10 + kMebibyte - 1) / kMebibyte;
    return tenths % 10 == 0 ? QString::number(tenths / 10)
                            : QString::number(double(tenths) / 10.0, 'f', 1);
}
} // namespace

QString DeobBehaviour::rollbackMessage() const {
    return rolledBack.isEmpty() ? QString()
                                : QStringLiteral("已回退：%1 改变了脚本的行为").arg(rolledBack);
}

QString DeobStage::historyLine(bool withTime) const {
    if (!peeled)
        return QStringLiteral("未能解除：%1（%2）").arg(layer, note);
    const QString time = withTime ? QStringLiteral("，%1 毫秒").arg(qRound(ms)) : QString();
    return QStringLiteral("已解除：%1（%2 → %3 字节%4）")
        .arg(layer)
        .arg(bytesBefore)
        .arg(bytesAfter)
        .arg(time);
}

int DeobResult::peeledCount() const {
    int n = 0;
    for (const DeobStage& s : history)
        n += s.peeled ? 1 : 0;
    return n;
}

DeobResult DeobfuscateScript(const QString& source, const DeobOptions& options) {
    DeobResult result;
    // UTF-8 takes at most three bytes for each UTF-16 unit.
    const qint64 bytes = qint64(source.size()) * 3 <= options.maxBytes ? 0 : source.toUtf8().size();
    if (options.maxBytes > 0 && bytes > options.maxBytes) {
        result.error = QStringLiteral("脚本过大（%1 MB），解密最多支持 %2 MB")
                           .arg(megabytes(bytes), megabytes(options.maxBytes));
        return result;
    }
    ScriptThread::instance().call([&] {
        std::unique_ptr<ToolEngine>& engine = toolEngineSlot();
        if (!engine)
            engine = std::make_unique<ToolEngine>();
        const CarriedCall call = engine->call(source, optionsJson(options), options.sandboxSeconds);
        if (!call.ok()) {
            result.error = call.toolResult({}).error;
            result.stopped = call.status != CarriedCall::Threw;
            // Stopped (or failed) while loading: the next run loads afresh.
            if (!engine->script().isLoaded())
                engine.reset();
            return;
        }
        if (source.size() >= kLargeSource)
            engine->script().collectGarbage();
        result = fromJson(call.value.toText());
    });
    if (result.stopped)
        result.error = QStringLiteral("脚本运行已被用户中止");
    return result;
}
