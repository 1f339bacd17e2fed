#include "engine/EngineContext.h"

EngineContext::EngineContext(double checkInterval) : m_group(JsContextGroup::create()) {
    // Armed before the context exists, so its set-up is under the check too.
    m_watch = std::make_unique<StopWatch>(m_group.get(), checkInterval);
    m_context = JsGlobalContext(m_group.get());
}

EngineContext::EngineContext(JsContextGroup group, std::unique_ptr<StopWatch> watch)
    : m_group(std::move(group)), m_context(m_group.get()), m_watch(std::move(watch)) {}

EngineContext EngineContext::inGroupOf(JSContextRef ctx) {
    return EngineContext(JsContextGroup::retain(JSContextGetGroup(ctx)), nullptr);
}

void EngineContext::resetGlobal(JSClassRef globalClass) {
    m_context = JsGlobalContext::adopt(JSGlobalContextCreateInGroup(m_group.get(), globalClass));
}

void EngineContext::settleStop() const {
    const JsString nothing("0");
    JSValueRef exception = nullptr;
    JSEvaluateScript(context(), nothing.get(), nullptr, nullptr, 1, &exception);
}

JSValueRef EngineContext::evaluate(const QString& script, const QString& url,
                                   JSValueRef* exception) const {
    const JsString text(script);
    const JsString source = url.isEmpty() ? JsString() : JsString(url);
    *exception = nullptr;
    JSValueRef value = JSEvaluateScript(context(), text.get(), nullptr, source.get(), 1, exception);
    return *exception ? nullptr : value;
}

void EngineContext::setGlobal(const char* name, JSValueRef value) const {
    const JsString key(name);
    JSObjectSetProperty(context(), global(), key.get(), value, kJSPropertyAttributeDontEnum,
                        nullptr);
}

void EngineContext::addFunction(const char* name, JSObjectCallAsFunctionCallback callback) const {
    const JsString key(name);
    setGlobal(name, JSObjectMakeFunctionWithCallback(context(), key.get(), callback));
}

JSObjectRef EngineContext::function(const QString& name) const {
    JSValueRef value = jsGetProperty(context(), global(), name);
    JSObjectRef object = value && JSValueIsObject(context(), value)
                             ? JSValueToObject(context(), value, nullptr)
                             : nullptr;
    return object && JSObjectIsFunction(context(), object) ? object : nullptr;
}
