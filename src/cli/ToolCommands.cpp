#include "cli/ToolCommands.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "script/ScriptHost.h"
#include "script/ScriptThread.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

namespace {
ToolResult runTool(const QString& tool, const QString& source) {
    if (tool == QLatin1String("format"))
        return FormatScript(source);
    if (tool == QLatin1String("minify")) {
        ToolResult r = MinifyScript(source);
        if (r.ok)
            r.text = dropEmptyFirstLine(r.text);
        return r;
    }
    ScriptHost host;
    AddUnpacker(host);
    const ToolResult unpacked = UnpackScript(host, source);
    return unpacked.ok ? FormatScript(unpacked.text) : unpacked;
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

    BlockingWaiter waiter(timeout);
    ScriptThread::instance().setWaiter(&waiter);
    const ToolResult result = runTool(tool, *source);
    ScriptThread::instance().setWaiter(nullptr);
    if (!result.ok) {
        printError(QStringLiteral("vexojs-cli %1: %2").arg(tool, result.error));
        return 1;
    }
    printText(result.text);
    return 0;
}
