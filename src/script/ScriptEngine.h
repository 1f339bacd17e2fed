#pragma once
// One engine instance on JavaScriptCore: its own context group and global context.
// Every call catches the script's exception and keeps it as error(); nothing is thrown
// to the caller. Script thread only: ScriptHost carries calls over from other threads.

#include "engine/EngineContext.h"
#include "engine/EnvironmentPart.h"
#include "engine/JsConvert.h"
#include "engine/ScriptOutput.h"
#include "engine/Variant.h"
#include "engine/VirtualClock.h"
#include "script/ScriptError.h"

#include <JavaScriptCore/JavaScript.h>

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class ScriptRuntime;

class ScriptEngine {
public:
    // "scriptcontrol" and "MSScriptControl.ScriptControl" name the engine; any other name
    // gives an instance that was never created: every call then returns the empty value.
    explicit ScriptEngine(const QString& progId = QStringLiteral("scriptcontrol"));
    ~ScriptEngine();
    ScriptEngine(const ScriptEngine&) = delete;
    ScriptEngine& operator=(const ScriptEngine&) = delete;

    bool isValid() const { return m_engine != nullptr; }

    // "JScript" or "JavaScript" (any case); anything else fails and changes nothing.
    bool setLanguage(const QString& language);
    QString language() const { return m_language; }

    // Forgets all code and objects: a fresh global context.
    bool reset();
    // Compiles and runs the text in the global scope; the result reads as 0.
    double addCode(const QString& code);
    Variant eval(const QString& expression);
    // The same, its value as the engine holds it (for a caller that converts it on this
    // thread itself); nullptr on an error.
    JSValueRef evalValue(const QString& expression);
    // Calls the global function `name` with the given arguments.
    Variant run(const QString& name, const QList<Variant>& args);
    // Texts in results are cut at kConvertedTextLimit (a result shown to the user); a
    // tool whose result is code sets kWholeText.
    void setResultTextLimit(qsizetype limit) { m_resultTextLimit = limit; }
    // Calls a function of this engine with values of this engine (thisObject nullptr: the
    // global object); nullptr on an error.
    JSValueRef callValue(JSObjectRef function, JSObjectRef thisObject,
                         const std::vector<JSValueRef>& args);
    // Makes the object visible to scripts under `name`.
    bool addObject(const QString& name, const Variant& object, bool addMembers);

    // What every fresh context gets before the user's code, after the basic environment
    // (console, timers, virtual clock); and fixed time and random numbers (nullopt: real).
    // Both take effect at the next reset.
    void setEnvironment(Environment parts) { m_parts = std::move(parts); }
    void setFixedTime(std::optional<FixedTime> fixed) { m_fixed = fixed; }
    // The pane lines the user's code wrote since the last call (console, ...).
    QStringList takeOutput() { return m_output.take(); }
    // Keeps what console.dir is given, for the window's tree of it (off by default).
    void keepConsoleValues(bool keep) { m_output.setKeepsValues(keep); }
    std::vector<OutputValue> takeConsoleValues() { return m_output.takeValues(); }
    // The current context's runtime (timers, clock, host object).
    ScriptRuntime* runtime() const { return m_runtime.get(); }

    const ScriptError& error() const { return m_error; }
    // The functions the added code defines at its top level, in the order of their
    // definitions (see ScriptProcedures.h).
    QList<Procedure> procedures() const;

    JSGlobalContextRef context() const { return m_engine ? m_engine->context() : nullptr; }

    // The main engine: its entries pass the debugger's hook (breakpoints, tracing).
    void setDebuggable(bool on) { m_debuggable = on; }

    // The engine's entry guard (StopWatch::enter).
    static bool enter(JSContextRef ctx) { return StopWatch::enter(ctx); }

private:
    void nameContext();
    // Sets up the current context: its runtime, then the environment's parts.
    void prepareContext();
    // The end of every call that ran the user's code: the value, then the due timers and
    // their promise jobs (settleJob); a stop anywhere in that is the call's error (5100),
    // never a value: empty / nullptr with the error set.
    bool settleJob();
    Variant finishCall(JSValueRef value, JSValueRef exception);
    JSValueRef finishValue(JSValueRef value, JSValueRef exception);
    void forgetSources();
    void clearError() { m_error = ScriptError(); }
    // Clears the error and arms the stop check; false when the job was already stopped.
    bool beginCall();
    void setError(JSValueRef exception);
    void setStopped();
    QString sourceLine(const QString& url, int line) const;
    // The engine's own stop flag: the script thread's "停止", or a service thread's.
    bool stopRequested() const;
    // JSEvaluateScript of the text under its source address, nothing more.
    JSValueRef runScript(const QString& text, const QString& url, JSValueRef* exception);
    JSValueRef evaluateValue(const QString& text, const QString& url);
    Variant evaluate(const QString& text, const QString& url);
    Variant resultOf(JSValueRef value);

    std::unique_ptr<EngineContext> m_engine;
    JSGlobalContextRef m_context = nullptr; // m_engine's, kept at hand
    QString m_language = QStringLiteral("JScript");
    qsizetype m_resultTextLimit = kConvertedTextLimit;
    ScriptError m_error;
    // The texts added since the last reset, by source address, for error lines and
    // for the order of definitions.
    QStringList m_codeUrls;
    QHash<QString, QString> m_sources;
    int m_evalSerial = 0;
    bool m_debuggable = false;
    Environment m_parts;
    std::optional<FixedTime> m_fixed;
    ScriptOutput m_output;
    std::unique_ptr<ScriptRuntime> m_runtime;
    // The environment's failure on the current context, reported by the next load.
    std::optional<ScriptError> m_setupError;
};
