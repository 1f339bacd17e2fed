#pragma once
// What one global context of the user's code has besides the engine's built-ins: the
// lines it writes, its virtual clock, its random numbers and its timers, and the host's
// private object through which the environment's scripts reach these (`vexoHost`, never a
// global). Made for each fresh context, before the user's code; released before the
// context is. Engine thread only.
//
// The host object carries, for the environment's scripts:
//   write(text)               a pane line "-->text"
//   now(), performanceNow()   the virtual clock (Date.now() with its fraction; since origin)
//   timeOrigin, fixed         the clock's origin; whether time and random are fixed
//   random()                  the next number in [0, 1) of the context's stream
//   fillRandom(view)          fills an integer typed array's bytes from that stream
//   addTimer(delay, repeat, kind), clearTimer(id)   kind: "timeout", "frame", "immediate"
//   setDispatcher(fn)         fn(id, time) runs timer id's callback
// The basic environment adds markNative(fn, name), define(target, key, value),
// method(name, length, body), format(args) and preview(value) for the parts after it.

#include "engine/EnvironmentPart.h"
#include "engine/EventLoop.h"
#include "engine/JsHandle.h"
#include "engine/ScriptOutput.h"
#include "engine/SeededRandom.h"
#include "engine/VirtualClock.h"

#include <QHash>
#include <QString>

#include <optional>

class ScriptRuntime {
public:
    ScriptRuntime(JSGlobalContextRef context, ScriptOutput& output,
                  const std::optional<FixedTime>& fixed);
    ~ScriptRuntime();
    ScriptRuntime(const ScriptRuntime&) = delete;
    ScriptRuntime& operator=(const ScriptRuntime&) = delete;

    // The runtime of the context a host callback was called in; nullptr when it has none.
    static ScriptRuntime* of(JSContextRef ctx);

    JSGlobalContextRef context() const { return m_context; }
    JSObjectRef host() const;
    ScriptOutput& output() { return m_output; }
    VirtualClock& clock() { return m_clock; }
    SeededRandom& random() { return m_random; }
    EventLoop& loop() { return m_loop; }

    // Applies the parts in order; the first exception ends it and is returned.
    JSValueRef install(const Environment& parts);
    // Runs `source` as the body of a function of vexoHost, under the stop check. The text
    // is kept for the source lines of errors in it. Returns the exception, or nullptr.
    JSValueRef runPrelude(const QString& source, const QString& url);
    // A function on the host object.
    void addHostFunction(const char* name, JSObjectCallAsFunctionCallback callback);
    void setHostValue(const char* name, JSValueRef value);
    // The environment's script texts by source address.
    QString source(const QString& url) const { return m_sources.value(url); }

    // Runs the timers that are due (see EventLoop); false when the job was stopped.
    // A run that reaches its bound with timers left says so in one line.
    bool runTimers();

private:
    bool fire(int id, double time);

    JSGlobalContextRef m_context;
    ScriptOutput& m_output;
    VirtualClock m_clock;
    SeededRandom m_random;
    EventLoop m_loop;
    JsProtected m_host;
    JsProtected m_dispatcher;
    QHash<QString, QString> m_sources;

    friend struct HostFunctions;
};

// True when the job running in ctx's group was stopped or ran out of time.
bool jobStopped(JSContextRef ctx);
