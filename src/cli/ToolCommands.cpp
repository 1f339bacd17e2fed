#include "cli/ToolCommands.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "engine/ScriptThread.h"
#include "tools/DeobfuscateScript.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"

namespace {
// Runs a tool under --timeout. On the command line nobody presses "停止": a run the
// waiter stopped at the limit ran out of time, and says so.
template <typename Job> ToolResult withTimeLimit(double timeout, Job job) {
    BlockingWaiter waiter(timeout);
    ScriptThread::instance().setWaiter(&waiter);
    ToolResult r = job();
    ScriptThread::instance().setWaiter(nullptr);
    if (!r.ok && waiter.timedOut())
        r.error = QStringLiteral("运行超时（超过 %1 秒），已停止").arg(timeout);
    return r;
}

ToolResult runTool(const QString& tool, const QString& source, double timeout) {
    if (tool == QLatin1String("unpack")) {
        // What "eval解密" does: the deobfuscator (its sandbox limit is --timeout, else its
        // own default), then the layout, which --timeout bounds as well.
        DeobOptions options;
        if (timeout > 0.0)
            options.sandboxSeconds = timeout;
        const ToolResult peeled = withTimeLimit(timeout, [&] {
            const DeobResult r = DeobfuscateScript(source, options);
            // The pane's lines about each layer, on standard error.
            for (const DeobStage& s : r.history)
                printError(s.historyLine(false));
            if (r.ok && !r.behaviour.rolledBack.isEmpty())
                printError(r.behaviour.rollbackMessage());
            return r.ok ? ToolResult::success(r.code) : ToolResult::failure(r.error);
        });
        if (!peeled.ok)
            return peeled;
        return withTimeLimit(timeout, [&] { return FormatScript(peeled.text); });
    }
    if (tool == QLatin1String("format"))
        return withTimeLimit(timeout, [&] { return FormatScript(source); });
    ToolResult r = withTimeLimit(timeout, [&] { return MinifyScript(source); });
    if (r.ok)
        r.text = dropEmptyFirstLine(r.text);
    return r;
}
} // namespace

int runToolCommand(const QString& tool, const QStringList& args) {
    double timeout = 0.0;
    QString path = QStringLiteral("-");
    bool havePath = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--timeout") && i + 1 < args.size()) {
            if (!parseTimeout(args[++i], timeout))
                return kUsageError;
        } else if (!havePath && (a == QLatin1String("-") || !a.startsWith(QLatin1String("--")))) {
            path = a;
            havePath = true;
        } else {
            printError(QStringLiteral("vexojs-cli %1: 无法识别的参数 %2").arg(tool, a));
            return kUsageError;
        }
    }
    const auto source = readScript(path);
    if (!source)
        return kUsageError;

    const ToolResult result = runTool(tool, *source, timeout);
    if (!result.ok) {
        printError(QStringLiteral("vexojs-cli %1: %2").arg(tool, result.error));
        return 1;
    }
    printText(result.text);
    return 0;
}
