#pragma once
// Loading a script into the main engine, reporting engine errors and evaluating
// expressions, with the exact output-pane lines. The window and the command line both
// drive these; they differ only in where lines go and how an object result is shown.

#include <QString>

#include <memory>
#include <optional>

class GlobalObjects;
class LogSink;
class ScriptHost;
class ScriptObject;

// Writes the lines the user's code wrote (console, ...) since they were last written.
void WriteScriptOutput(ScriptHost& host, LogSink& log);

// Writes the four lines of the engine's last error, if it has one. Returns the error's
// line (1-based, as the engine gives it) so the caller can select it in the editor.
std::optional<int> ReportScriptError(ScriptHost& host, LogSink& log);

struct LoadResult {
    enum Outcome { Empty, Failed, ScriptError, Loaded } outcome = Empty;
    std::optional<int> errorLine;
    // True when the engine reported procedures and the global list was refilled.
    bool proceduresRefreshed = false;
};

// The "加载代码" flow: a fresh engine, then the code, then the report.
LoadResult LoadCode(GlobalObjects& globals, const QString& code, LogSink& log);
// The same for several texts added one after the other into the one fresh engine (the
// command line loads several files); the load stops at the first that fails.
LoadResult LoadCode(GlobalObjects& globals, const QStringList& sources, LogSink& log);

// How an object result is offered for inspection.
class ObjectQuestion {
public:
    virtual ~ObjectQuestion() = default;
    // True when the user wants to see the object (OK).
    virtual bool askToInspect() = 0;
    virtual void inspect(const std::shared_ptr<ScriptObject>& object) = 0;
};

struct EvalResult {
    int kind = 0;
    std::optional<int> errorLine;
};

// The "计算表达式" flow. The expression runs once; type and value come from that one result.
EvalResult EvaluateExpression(GlobalObjects& globals, const QString& expression, LogSink& log,
                              ObjectQuestion& question);
