#include "browser/BrowserEnvironment.h"

#include "engine/JsHandle.h"
#include "engine/ScriptRuntime.h"
#include "engine/StopWatch.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>

namespace {
using RecordHolder = std::shared_ptr<AccessRecord>;

QString argText(JSContextRef ctx, size_t argc, const JSValueRef argv[], size_t i) {
    return i < argc ? jsValueToQString(ctx, argv[i]) : QString();
}

// The page script's frame at the top of a stack ("name@vexo:code/1:3:14"): its line and
// column; nothing when the top frame is not the page's (the environment's own lookups,
// the engine declaring the script's globals before it runs).
bool pageFrame(const QString& stack, int* line, int* column) {
    static const QRegularExpression frame(
        QStringLiteral("@vexo:(?:code/[0-9]+|eval):([0-9]+):([0-9]+)$"));
    const QString top = stack.section(QLatin1Char('\n'), 0, 0);
    const QRegularExpressionMatch m = frame.match(top);
    if (!m.hasMatch())
        return false;
    *line = m.captured(1).toInt();
    *column = m.captured(2).toInt();
    return true;
}

// digest(name, binary): the hash of the bytes (one per character) as hex.
JSValueRef digest(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc, const JSValueRef argv[],
                  JSValueRef*) {
    const QString name = argText(ctx, argc, argv, 0);
    const QString binary = argText(ctx, argc, argv, 1);
    QCryptographicHash::Algorithm algorithm = QCryptographicHash::Sha256;
    if (name == QLatin1String("SHA-1"))
        algorithm = QCryptographicHash::Sha1;
    else if (name == QLatin1String("SHA-384"))
        algorithm = QCryptographicHash::Sha384;
    else if (name == QLatin1String("SHA-512"))
        algorithm = QCryptographicHash::Sha512;
    const QByteArray bytes = binary.toLatin1();
    return jsMakeString(ctx,
                        QString::fromLatin1(QCryptographicHash::hash(bytes, algorithm).toHex()));
}

// record(kind, path, value, "line:column"): a callable object holding its record.
JSValueRef callRecord(JSContextRef ctx, JSObjectRef function, JSObjectRef, size_t argc,
                      const JSValueRef argv[], JSValueRef*) {
    auto* holder = static_cast<RecordHolder*>(JSObjectGetPrivate(function));
    if (holder && *holder) {
        const QString at = argText(ctx, argc, argv, 3);
        (*holder)->add(argText(ctx, argc, argv, 0), argText(ctx, argc, argv, 1),
                       argText(ctx, argc, argv, 2), at.section(QLatin1Char(':'), 0, 0).toInt(),
                       at.section(QLatin1Char(':'), 1, 1).toInt());
    }
    return JSValueMakeUndefined(ctx);
}

void finalizeHolder(JSObjectRef object) {
    delete static_cast<RecordHolder*>(JSObjectGetPrivate(object));
}

JSClassRef recordFunctionClass() {
    static JSClassRef cls = [] {
        JSClassDefinition d = kJSClassDefinitionEmpty;
        d.className = "Function";
        d.callAsFunction = &callRecord;
        d.finalize = &finalizeHolder;
        return JSClassCreate(&d);
    }();
    return cls;
}

// The global object's look-ups while monitoring. The engine looks a bare name up twice
// (to find its scope, then to read it); the second of two identical missing look-ups in a
// row is that pair's second half and is not counted again.
struct LookupState {
    bool busy = false;
    quint64 serial = 0;
    quint64 lastMissingSerial = 0;
    QString lastMissing;
};
thread_local LookupState t_lookup;

JSValueRef globalGetProperty(JSContextRef ctx, JSObjectRef global, JSStringRef name, JSValueRef*) {
    LookupState& state = t_lookup;
    if (state.busy)
        return nullptr;
    auto* holder = static_cast<RecordHolder*>(JSObjectGetPrivate(global));
    if (!holder || !*holder)
        return nullptr;
    ++state.serial;
    state.busy = true;
    if (!JSObjectHasProperty(ctx, global, name)) {
        JSObjectRef error = JSObjectMakeError(ctx, 0, nullptr, nullptr);
        JSValueRef stackValue = jsGetProperty(ctx, error, QStringLiteral("stack"));
        const QString stack = stackValue ? jsValueToQString(ctx, stackValue) : QString();
        const QString key = JsString::retain(name).toQString();
        int line = 0;
        int column = 0;
        const QString signature = key + QLatin1Char('\n') + stack;
        const bool secondHalf =
            state.lastMissingSerial + 1 == state.serial && state.lastMissing == signature;
        state.lastMissingSerial = state.serial;
        state.lastMissing = secondHalf ? QString() : signature;
        if (!secondHalf && pageFrame(stack, &line, &column))
            (*holder)->add(QStringLiteral("缺失"), QStringLiteral("window.") + key,
                           QStringLiteral("未定义"), line, column);
    }
    state.busy = false;
    return nullptr;
}

// An error of the user's environment code says so, since the load it stops never ran the
// page's script.
void markAsEnvironmentCode(JSContextRef ctx, JSValueRef exception) {
    JSObjectRef error = exception && JSValueIsObject(ctx, exception)
                            ? JSValueToObject(ctx, exception, nullptr)
                            : nullptr;
    JSValueRef message = error ? jsGetProperty(ctx, error, QStringLiteral("message")) : nullptr;
    if (!message || !JSValueIsString(ctx, message))
        return;
    const JsString key("message");
    JSObjectSetProperty(
        ctx, error, key.get(),
        jsMakeString(ctx, QStringLiteral("环境代码：") + jsValueToQString(ctx, message)),
        kJSPropertyAttributeNone, nullptr);
}

JSClassRef monitoredGlobalClass() {
    static JSClassRef cls = [] {
        JSClassDefinition d = kJSClassDefinitionEmpty;
        d.className = "Window";
        d.getProperty = &globalGetProperty;
        d.finalize = &finalizeHolder;
        return JSClassCreate(&d);
    }();
    return cls;
}
} // namespace

BrowserEnvironment::BrowserEnvironment(BrowserOptions options, std::shared_ptr<AccessRecord> record)
    : m_options(std::move(options)), m_record(std::move(record)) {}

QString BrowserEnvironment::script() {
    static const QString text = [] {
        QFile file(QStringLiteral(":/scripts/browser.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return text;
}

JSClassRef BrowserEnvironment::globalClass() const {
    return m_options.monitor && m_record ? monitoredGlobalClass() : nullptr;
}

JSValueRef BrowserEnvironment::install(ScriptRuntime& runtime) {
    JSGlobalContextRef ctx = runtime.context();
    const bool monitoring = m_options.monitor && m_record;
    if (monitoring) {
        m_record->beginRun();
        JSObjectRef global = JSContextGetGlobalObject(ctx);
        // The global is of the monitored class only when this part chose it.
        if (JSValueIsObjectOfClass(ctx, global, monitoredGlobalClass()))
            JSObjectSetPrivate(global, new RecordHolder(m_record));
        runtime.setHostValue("record",
                             JSObjectMake(ctx, recordFunctionClass(), new RecordHolder(m_record)));
    }
    runtime.addHostFunction("digest", &digest);
    runtime.setHostValue("browser", jsMakeString(ctx, m_options.settingsJson()));
    if (JSValueRef exception = runtime.runPrelude(script(), scriptUrl()))
        return exception;

    JSValueRef exception = nullptr;
    if (!m_options.environmentCode.isEmpty()) {
        if (!StopWatch::enter(ctx))
            return nullptr; // the stop is reported by the engine
        const JsString code(m_options.environmentCode);
        const JsString url(environmentCodeUrl());
        JSEvaluateScript(ctx, code.get(), nullptr, url.get(), 1, &exception);
        markAsEnvironmentCode(ctx, exception);
    }
    // vexoEnv is for the environment code only; the page's script never sees it.
    const JsString hook("vexoEnv");
    JSObjectDeleteProperty(ctx, JSContextGetGlobalObject(ctx), hook.get(), nullptr);
    return exception;
}

Environment browserEnvironment(const BrowserOptions& options,
                               std::shared_ptr<AccessRecord> record) {
    if (!options.enabled)
        return {};
    return {std::make_shared<BrowserEnvironment>(options, std::move(record))};
}
