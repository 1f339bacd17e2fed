#include "cli/ToolCommands.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "script/ScriptThread.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

namespace {
ToolResult runTool(const QString& tool, const QString& source, double timeout) {
    if (tool == QLatin1String("unpack")) {
        // The unpack has the sandbox's own limit (and says "超时" when it runs out); the
        // waiter's limit, which reads as a stop by the user, is only for the layout after it.
        const ToolResult unpacked = UnpackScript(source, timeout);
        if (!unpacked.ok)
            return unpacked;
        BlockingWaiter waiter(timeout);
        ScriptThread::instance().setWaiter(&waiter);
        const ToolResult formatted = FormatScript(unpacked.text);
        ScriptThread::instance().setWaiter(nullptr);
        return formatted;
    }
    BlockingWaiter waiter(timeout);
    ScriptThread::instance().setWaiter(&waiter);
    ToolResult r = tool == QLatin1String("format") ? FormatScript(source) : MinifyScript(source);
    ScriptThread::instance().setWaiter(nullptr);
    if (r.ok && tool == QLatin1String("minify"))
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
