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

// Where an engine error points in the loaded script: 1-based line, and the column as the
// engine counts it (UTF-16 units from 1; 0 when it gives none).
struct ErrorPlace {
    int line = 0;
    int column = 0;
};

// Writes the four lines of the engine's last error, if it has one, its description in
// Chinese where the error table knows it. Returns the error's line (1-based, as the
// engine gives it); *place is set only when the error arose in the loaded script, not
// in an expression, so the caller selects only what the error is about.
std::optional<int> ReportScriptError(ScriptHost& host, LogSink& log,
                                     std::optional<ErrorPlace>* place = nullptr);

struct LoadResult {
    enum Outcome { Empty, Failed, ScriptError, Loaded } outcome = Empty;
    std::optional<int> errorLine;
    std::optional<ErrorPlace> errorPlace; // in the script
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
    std::optional<ErrorPlace> errorPlace; // in the script; none for an error in the expression
};

// The "计算表达式" flow. The expression runs once; type and value come from that one result.
EvalResult EvaluateExpression(GlobalObjects& globals, const QString& expression, LogSink& log,
                              ObjectQuestion& question);
