#pragma once
// The debugger of the main engine. It stays out of the way until a breakpoint, logpoint
// or trace exists: then, on the engine's next entry, the engine's context is marked
// inspectable, the inspector connection is opened (once per process) and the context's
// target set up with the breakpoints; when the last one goes, the debugger is detached
// again at the next entry, so scripts run at full speed without it.
//
// Settings may change from any thread. Pause events arrive on the inspector thread and
// go to the listener; commands (resume, steps, evaluation) may be given from any thread
// and never run on the GUI or script thread.

#include "debug/DebugTypes.h"

#include <JavaScriptCore/JavaScript.h>

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class DebugListener {
public:
    virtual ~DebugListener() = default;
    // The script waits until resume(), a step or stop(). Inspector thread.
    virtual void paused(const PauseInfo& info) = 0;
    virtual void resumed() {}
    // A logpoint's value, or a reporting breakpoint's hit. Inspector thread.
    virtual void probed(const ProbeHit& hit) = 0;
};

class DebugSession {
public:
    static DebugSession& instance();

    // Whether the engine's inspector can be reached; when not, why (one line).
    bool available(QString* why = nullptr) const;

    void setBreakpoints(const QList<Breakpoint>& breakpoints);
    QList<Breakpoint> breakpoints() const;
    void setPauseOnExceptions(bool on);
    void setIgnoreDebuggerStatements(bool on);
    // Functions whose calls are recorded (global names or dotted paths); empty: none.
    void setTraceNames(const QStringList& names);
    QStringList traceNames() const;
    // nullptr: pauses resume at once (reporting breakpoints still report).
    void setListener(DebugListener* listener);

    // The engine's entry hook: only the main engine calls it, before every entry, and only
    // while entryNeeded() is true. Script thread.
    static bool entryNeeded() { return s_entryNeeded.load(std::memory_order_relaxed); }
    void beforeEntry(JSGlobalContextRef context);
    // What the main engine appends to the text of added code number `source` while
    // breakpoints are set in it (empty otherwise); see the definition for why.
    QString codeSuffix(int source) const;
    // The last problem met on the way in (the connection, a symbol), for one output line.
    QString takeProblem();

    bool isPaused() const { return m_paused.load(); }
    void resume();
    void stepOver();
    void stepInto();
    void stepOut();
    // "停止" while paused: nothing stops the script again, it resumes and the stop check
    // ends it (error 5100).
    void stop();

    using ValueReply = std::function<void(std::optional<RemoteValue> value, bool thrown)>;
    using PropertiesReply = std::function<void(const QList<Property>& properties)>;
    // Evaluates in a paused frame; the reply comes on the inspector thread.
    void evaluate(const QString& frameId, const QString& expression, ValueReply reply);
    void properties(const QString& objectId, PropertiesReply reply);

    // Waits until every report the engine sent so far has reached the listener (after a
    // job, before its result is printed). Not on the inspector thread.
    void flush();

    // The calls recorded since the last take, as the lines of an indented call tree; the
    // count of calls beyond the kept ones in *dropped. Not on the script thread.
    QStringList takeTrace(qint64* dropped = nullptr);

    struct State;

private:
    DebugSession();
    void updateEntryNeeded();
    // Sends the settings to the attached target (at an entry, or while paused).
    void apply();
    void traceBeforeEntry(JSGlobalContextRef context);
    void onPaused(const QJsonObject& params);
    void onProbe(const QJsonObject& sample);
    void command(const QString& method, const QJsonObject& params = {}, bool wakes = false);

    static std::atomic<bool> s_entryNeeded;
    std::atomic<bool> m_paused{false};
    std::unique_ptr<State> d;
};
