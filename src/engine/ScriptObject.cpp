#include "engine/ScriptObject.h"

#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/ScriptThread.h"

ScriptObject::ScriptObject(JSContextRef ctx, JSObjectRef object)
    : m_context(JSGlobalContextRetain(JSContextGetGlobalContext(ctx))), m_object(object) {
    JSValueProtect(m_context, m_object);
}

ScriptObject::~ScriptObject() {
    JSGlobalContextRef ctx = m_context;
    JSObjectRef object = m_object;
    ScriptThread::instance().post([ctx, object] {
        JSValueUnprotect(ctx, object);
        JSGlobalContextRelease(ctx);
    });
}

std::optional<QString> ScriptObject::defaultText() const {
    std::optional<QString> result;
    ScriptThread::instance().call([&] { result = scriptText(m_context, m_object); });
    return result;
}

Variant ScriptObject::property(const QString& name) const {
    Variant result;
    ScriptThread::instance().call([&] {
        if (JSValueRef v = scriptProperty(m_context, m_object, name))
            result = variantFromJs(m_context, v);
    });
    return result;
}
