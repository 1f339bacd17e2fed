#pragma once
// One engine instance's handles: a context group with its stop watch and a global context
// in it. Instances share nothing. A further context in the group of an existing one (fresh
// built-ins, the same engine and watch) serves private walks of that engine's objects.
// Engine thread only.

#include "engine/JsHandle.h"
#include "engine/StopWatch.h"

#include <QString>

#include <memory>

class EngineContext {
public:
    // A new group checked every checkInterval seconds, and a global context in it.
    explicit EngineContext(double checkInterval = StopWatch::kDefaultInterval);
    // Another global context in ctx's group, checked by that group's watch.
    static EngineContext inGroupOf(JSContextRef ctx);

    // Not movable: the watch is found by its group, and the order of release matters.
    EngineContext(const EngineContext&) = delete;
    EngineContext& operator=(const EngineContext&) = delete;

    JSGlobalContextRef context() const { return m_context.get(); }
    JSContextGroupRef group() const { return m_group.get(); }
    JSObjectRef global() const { return JSContextGetGlobalObject(m_context.get()); }
    // nullptr for a context in another's group.
    StopWatch* watch() const { return m_watch.get(); }

    // Replaces the global context by a fresh one in the same group (all code and objects
    // of the old one are forgotten; values still held keep the old one alive).
    // globalClass: the class of the new global object (nullptr: the engine's own).
    void resetGlobal(JSClassRef globalClass = nullptr);
    // After a job was stopped: a stop that hit the engine's promise jobs (they run when a
    // call returns) is still pending and would end the next call at once; this takes it.
    void settleStop() const;
    // The engine's entry guard for this context (StopWatch::enter).
    bool enter() const { return StopWatch::enter(m_context.get()); }

    // Evaluates a script in the global scope; on a throw returns nullptr with *exception set.
    JSValueRef evaluate(const QString& script, const QString& url, JSValueRef* exception) const;
    // Defines a global the script cannot enumerate.
    void setGlobal(const char* name, JSValueRef value) const;
    void addFunction(const char* name, JSObjectCallAsFunctionCallback callback) const;
    // The global function of that name; nullptr when there is none.
    JSObjectRef function(const QString& name) const;

private:
    EngineContext(JsContextGroup group, std::unique_ptr<StopWatch> watch);

    // Declared in release order's reverse: the watch goes first, the group last.
    JsContextGroup m_group;
    JsGlobalContext m_context;
    std::unique_ptr<StopWatch> m_watch;
};
