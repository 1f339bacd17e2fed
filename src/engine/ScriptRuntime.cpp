#include "engine/ScriptRuntime.h"

#include "engine/JsConvert.h"
#include "engine/ScriptObject.h"
#include "engine/StopWatch.h"

#include <unordered_map>

namespace {
// Contexts are used only on the thread that made them, so each thread has its own list.
std::unordered_map<JSGlobalContextRef, ScriptRuntime*>& runtimes() {
    static thread_local std::unordered_map<JSGlobalContextRef, ScriptRuntime*> map;
    return map;
}

JSValueRef makeError(JSContextRef ctx, const char* message) {
    JSValueRef text = jsMakeString(ctx, QString::fromUtf8(message));
    return JSObjectMakeError(ctx, 1, &text, nullptr);
}

double numberArg(JSContextRef ctx, size_t argc, const JSValueRef argv[], size_t i) {
    return i < argc ? JSValueToNumber(ctx, argv[i], nullptr) : 0.0;
}

JSObjectRef functionArg(JSContextRef ctx, size_t argc, const JSValueRef argv[]) {
    if (argc < 1 || !JSValueIsObject(ctx, argv[0]))
        return nullptr;
    JSObjectRef fn = JSValueToObject(ctx, argv[0], nullptr);
    return fn && JSObjectIsFunction(ctx, fn) ? fn : nullptr;
}
} // namespace

// The host object's functions; each finds its runtime by the calling context.
struct HostFunctions {
#define VEXO_HOST_FUNCTION(name)                                                                   \
    static JSValueRef name(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc,                \
                           const JSValueRef argv[], JSValueRef* exception)

    VEXO_HOST_FUNCTION(write) {
        (void)exception;
        if (ScriptRuntime* rt = ScriptRuntime::of(ctx); rt && argc > 0)
            rt->output().add(scriptText(ctx, argv[0]).value_or(QString()));
        return JSValueMakeUndefined(ctx);
    }
    VEXO_HOST_FUNCTION(keepValue) {
        (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        if (rt && rt->output().keepsValues() && argc > 0 && JSValueIsObject(ctx, argv[0]))
            rt->output().addValue(
                std::make_shared<ScriptObject>(ctx, JSValueToObject(ctx, argv[0], nullptr)));
        return JSValueMakeUndefined(ctx);
    }
    VEXO_HOST_FUNCTION(now) {
        (void)argc, (void)argv, (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        return JSValueMakeNumber(ctx, rt ? rt->clock().now() : 0.0);
    }
    VEXO_HOST_FUNCTION(performanceNow) {
        (void)argc, (void)argv, (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        return JSValueMakeNumber(ctx, rt ? rt->clock().sinceOrigin() : 0.0);
    }
    VEXO_HOST_FUNCTION(random) {
        (void)argc, (void)argv, (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        return JSValueMakeNumber(ctx, rt ? rt->random().nextDouble() : 0.0);
    }
    VEXO_HOST_FUNCTION(fillRandom) {
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        const JSTypedArrayType type =
            argc > 0 ? JSValueGetTypedArrayType(ctx, argv[0], nullptr) : kJSTypedArrayTypeNone;
        const bool integral =
            type == kJSTypedArrayTypeInt8Array || type == kJSTypedArrayTypeUint8Array ||
            type == kJSTypedArrayTypeUint8ClampedArray || type == kJSTypedArrayTypeInt16Array ||
            type == kJSTypedArrayTypeUint16Array || type == kJSTypedArrayTypeInt32Array ||
            type == kJSTypedArrayTypeUint32Array || type == kJSTypedArrayTypeBigInt64Array ||
            type == kJSTypedArrayTypeBigUint64Array;
        if (!rt || !integral) {
            *exception = makeError(ctx, "The provided value is not an integer typed array");
            return JSValueMakeUndefined(ctx);
        }
        JSObjectRef view = JSValueToObject(ctx, argv[0], nullptr);
        auto* bytes = static_cast<uchar*>(JSObjectGetTypedArrayBytesPtr(ctx, view, nullptr));
        const size_t length = JSObjectGetTypedArrayByteLength(ctx, view, nullptr);
        if (bytes)
            rt->random().fill(bytes, length);
        return argv[0];
    }
    VEXO_HOST_FUNCTION(addTimer) {
        (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        if (!rt)
            return JSValueMakeNumber(ctx, 0);
        const QString kind = argc > 2 ? jsValueToQString(ctx, argv[2]) : QString();
        const EventLoop::Kind k = kind == QLatin1String("frame")       ? EventLoop::Kind::Frame
                                  : kind == QLatin1String("immediate") ? EventLoop::Kind::Immediate
                                                                       : EventLoop::Kind::Timeout;
        const bool repeat = argc > 1 && JSValueToBoolean(ctx, argv[1]);
        return JSValueMakeNumber(ctx, rt->loop().add(numberArg(ctx, argc, argv, 0), repeat, k));
    }
    VEXO_HOST_FUNCTION(clearTimer) {
        (void)exception;
        if (ScriptRuntime* rt = ScriptRuntime::of(ctx))
            rt->loop().clear(int(numberArg(ctx, argc, argv, 0)));
        return JSValueMakeUndefined(ctx);
    }
    VEXO_HOST_FUNCTION(setDispatcher) {
        (void)exception;
        ScriptRuntime* rt = ScriptRuntime::of(ctx);
        if (JSObjectRef fn = functionArg(ctx, argc, argv); rt && fn)
            rt->m_dispatcher = JsProtected(ctx, fn);
        return JSValueMakeUndefined(ctx);
    }
#undef VEXO_HOST_FUNCTION
};

ScriptRuntime::ScriptRuntime(JSGlobalContextRef context, ScriptOutput& output,
                             const std::optional<FixedTime>& fixed)
    : m_context(context), m_output(output), m_clock(fixed),
      m_random(fixed ? std::optional<quint64>(fixed->seed) : std::nullopt), m_loop(m_clock) {
    runtimes()[context] = this;
    m_host = JsProtected(context, JSObjectMake(context, nullptr, nullptr));
    addHostFunction("write", &HostFunctions::write);
    addHostFunction("keepValue", &HostFunctions::keepValue);
    addHostFunction("now", &HostFunctions::now);
    addHostFunction("performanceNow", &HostFunctions::performanceNow);
    addHostFunction("random", &HostFunctions::random);
    addHostFunction("fillRandom", &HostFunctions::fillRandom);
    addHostFunction("addTimer", &HostFunctions::addTimer);
    addHostFunction("clearTimer", &HostFunctions::clearTimer);
    addHostFunction("setDispatcher", &HostFunctions::setDispatcher);
    setHostValue("timeOrigin", JSValueMakeNumber(context, m_clock.origin()));
    setHostValue("fixed", JSValueMakeBoolean(context, m_clock.isFixed()));
}

ScriptRuntime::~ScriptRuntime() {
    auto& map = runtimes();
    if (auto it = map.find(m_context); it != map.end() && it->second == this)
        map.erase(it);
}

ScriptRuntime* ScriptRuntime::of(JSContextRef ctx) {
    const auto& map = runtimes();
    const auto it = map.find(JSContextGetGlobalContext(ctx));
    return it == map.end() ? nullptr : it->second;
}

JSObjectRef ScriptRuntime::host() const {
    return JSValueToObject(m_context, m_host.get().value, nullptr);
}

void ScriptRuntime::setHostValue(const char* name, JSValueRef value) {
    const JsString key(name);
    JSObjectSetProperty(m_context, host(), key.get(), value, kJSPropertyAttributeNone, nullptr);
}

void ScriptRuntime::addHostFunction(const char* name, JSObjectCallAsFunctionCallback callback) {
    const JsString key(name);
    setHostValue(name, JSObjectMakeFunctionWithCallback(m_context, key.get(), callback));
}

JSValueRef ScriptRuntime::install(const Environment& parts) {
    for (const auto& part : parts)
        if (JSValueRef exception = part->install(*this))
            return exception;
    return nullptr;
}

JSValueRef ScriptRuntime::runPrelude(const QString& source, const QString& url) {
    m_sources.insert(url, source);
    if (!StopWatch::enter(m_context))
        return makeError(m_context, "stopped");
    // On the first line, so the lines of errors are the text's own.
    const JsString text(QStringLiteral("(function (vexoHost) {") + source + QStringLiteral("\n})"));
    const JsString address(url);
    JSValueRef exception = nullptr;
    JSValueRef fn = JSEvaluateScript(m_context, text.get(), nullptr, address.get(), 1, &exception);
    if (exception)
        return exception;
    if (!StopWatch::enter(m_context))
        return makeError(m_context, "stopped");
    JSValueRef arg = host();
    JSObjectCallAsFunction(m_context, JSValueToObject(m_context, fn, nullptr), nullptr, 1, &arg,
                           &exception);
    return exception;
}

bool ScriptRuntime::fire(int id, double time) {
    // The check armed when the run began stays armed while nothing was stopped.
    if (StopWatch::ended(m_context))
        return false;
    JSValueRef args[] = {JSValueMakeNumber(m_context, id), JSValueMakeNumber(m_context, time)};
    JSObjectRef dispatcher = JSValueToObject(m_context, m_dispatcher.get().value, nullptr);
    JSObjectCallAsFunction(m_context, dispatcher, nullptr, 2, args, nullptr);
    return !StopWatch::ended(m_context);
}

bool ScriptRuntime::runTimers() {
    if (!m_dispatcher || m_loop.pending() == 0 || jobStopped(m_context))
        return !jobStopped(m_context);
    const EventLoop::Outcome outcome =
        m_loop.run([this](int id, double time) { return fire(id, time); });
    if (outcome.end == EventLoop::Outcome::Stopped || jobStopped(m_context))
        return false;
    if (outcome.end == EventLoop::Outcome::Bounded)
        m_output.add(QStringLiteral("定时器已到上限（每次运行最多 %1 次回调、虚拟时间 %2 秒），"
                                    "其余 %3 个定时器留待下次运行")
                         .arg(EventLoop::kCallbackLimit)
                         .arg(int(EventLoop::kTimeLimitMs / 1000))
                         .arg(outcome.pending));
    return true;
}

bool jobStopped(JSContextRef ctx) {
    return !StopWatch::enter(ctx);
}
