#include "engine/CarriedScript.h"

#include "engine/JsHandle.h"
#include "engine/JscPrivate.h"

namespace {
JSValueRef callHost(JSContextRef ctx, JSObjectRef function, JSObjectRef, size_t argc,
                    const JSValueRef argv[], JSValueRef*) {
    const auto* body =
        static_cast<const CarriedScript::HostFunction*>(JSObjectGetPrivate(function));
    JSValueRef result = body ? (*body)(ctx, std::vector<JSValueRef>(argv, argv + argc)) : nullptr;
    return result ? result : JSValueMakeUndefined(ctx);
}

// The class of the host functions: callable, with the body as private data.
JSClassRef hostFunctionClass() {
    static JSClassRef cls = [] {
        JSClassDefinition definition = kJSClassDefinitionEmpty;
        definition.className = "Function";
        definition.callAsFunction = &callHost;
        return JSClassCreate(&definition);
    }();
    return cls;
}

CarriedCall failure(CarriedCall::Status status) {
    CarriedCall call;
    call.status = status;
    return call;
}
} // namespace

ToolResult CarriedCall::toolResult(const QString& notText, const QString& timedOut) const {
    switch (status) {
    case Ok:
        if (value.vt() != Variant::BStr)
            return ToolResult::failure(notText);
        return ToolResult::success(value.stringValue());
    case Threw:
        return ToolResult::failure(message);
    case TimedOut:
        if (!timedOut.isEmpty())
            return ToolResult::failure(timedOut);
        break;
    case Stopped:
        break;
    }
    return ToolResult::failure(QStringLiteral("脚本运行已被用户中止"));
}

CarriedScript::CarriedScript(const QString& bundle, Setup setup) : m_engine(setup.checkInterval) {
    JSGlobalContextRef ctx = m_engine.context();
    for (auto& [name, body] : setup.functions) {
        m_functions.push_back(std::make_unique<HostFunction>(std::move(body)));
        m_engine.setGlobal(name, JSObjectMake(ctx, hostFunctionClass(), m_functions.back().get()));
    }
    if (!m_engine.enter()) {
        m_loaded = failure(CarriedCall::Stopped);
        return;
    }
    JSValueRef exception = nullptr;
    m_engine.evaluate(bundle, setup.url, &exception);
    if (exception)
        m_loaded = ended(exception);
}

CarriedScript::CarriedScript(const QString& bundle) : CarriedScript(bundle, Setup{}) {}

CarriedScript::~CarriedScript() = default;

void CarriedScript::setDeadline(double seconds) {
    m_engine.watch()->setDeadline(seconds);
}

void CarriedScript::setGlobal(const char* name, const Variant& value) {
    m_engine.setGlobal(name, jsFromVariant(m_engine.context(), value));
}

CarriedCall CarriedScript::call(const QString& entry, const QList<Variant>& args,
                                qsizetype textLimit) {
    if (!isLoaded())
        return m_loaded;
    JSGlobalContextRef ctx = m_engine.context();
    JSObjectRef function = m_engine.function(entry);
    if (!function) {
        CarriedCall missing = failure(CarriedCall::Threw);
        missing.errorName = QStringLiteral("TypeError");
        missing.message = QStringLiteral("%1 is not a function").arg(entry);
        return missing;
    }
    std::vector<JSValueRef> values;
    values.reserve(size_t(args.size()));
    for (const Variant& a : args)
        values.push_back(jsFromVariant(ctx, a));
    if (!m_engine.enter()) // stopped before the call began
        return ended(nullptr);
    JSValueRef exception = nullptr;
    JSValueRef result =
        JSObjectCallAsFunction(ctx, function, nullptr, values.size(), values.data(), &exception);
    if (exception)
        return ended(exception);
    CarriedCall done;
    done.value = variantFromJs(ctx, result, textLimit);
    // Taking the result over can run script code too (a getter of a returned object).
    if (m_engine.watch()->outcome() != StopWatch::Outcome::Running)
        return ended(nullptr);
    return done;
}

void CarriedScript::collectGarbage() {
    JSSynchronousGarbageCollectForDebugging(m_engine.context());
}

CarriedCall CarriedScript::ended(JSValueRef exception) {
    switch (m_engine.watch()->outcome()) {
    case StopWatch::Outcome::Stopped:
        return failure(CarriedCall::Stopped);
    case StopWatch::Outcome::TimedOut:
        return failure(CarriedCall::TimedOut);
    case StopWatch::Outcome::Running:
        break;
    }
    if (!exception) // the entry guard refused: the stop flag is set
        return failure(CarriedCall::Stopped);
    const ThrownValue thrown = describeThrown(m_engine.context(), exception);
    CarriedCall call = failure(CarriedCall::Threw);
    call.errorName = thrown.name;
    call.message = thrown.message;
    return call;
}
