#pragma once
// A protected reference to a JavaScript object, the workbench's counterpart of an
// automation object. It keeps its global context alive and is released on the script
// thread exactly once. Its reads may be called from any thread; they run on the script
// thread.

#include "engine/Variant.h"

#include <JavaScriptCore/JavaScript.h>

#include <QString>

#include <optional>

class ScriptObject {
public:
    // Script thread only.
    ScriptObject(JSContextRef ctx, JSObjectRef object);
    ~ScriptObject();
    ScriptObject(const ScriptObject&) = delete;
    ScriptObject& operator=(const ScriptObject&) = delete;

    JSGlobalContextRef context() const { return m_context; }
    JSObjectRef object() const { return m_object; }

    // String(object); nullopt when the conversion throws.
    std::optional<QString> defaultText() const;
    // A late-bound property read; the empty value when the read fails or throws.
    Variant property(const QString& name) const;

private:
    JSGlobalContextRef m_context;
    JSObjectRef m_object;
};
