#include "cli/EvalCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "script/GlobalObjects.h"
#include "script/ObjectDescription.h"
#include "script/ScriptSession.h"
#include "script/ScriptThread.h"

namespace {
// The command line answers the object question itself and prints both listings.
class PrintingObjectQuestion : public ObjectQuestion {
public:
    bool askToInspect() override { return true; }
    void inspect(const std::shared_ptr<ScriptObject>& object) override {
        for (const QString& item : ArrayListing(object))
            printLine(item);
        QString members = DescribeObject(object);
        members.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        printText(members);
        if (!members.endsWith(QLatin1Char('\n')))
            printText(QStringLiteral("\n"));
    }
};
} // namespace

int runEvalCommand(const QStringList& args) {
    QStringList files;
    double timeout = 0.0;
    QString expression;
    bool haveExpression = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--load") && i + 1 < args.size()) {
            files << args[++i];
        } else if (a == QLatin1String("--timeout") && i + 1 < args.size()) {
            if (!parseTimeout(args[++i], timeout))
                return kUsageError;
        } else if (!haveExpression &&
                   (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--"))) {
            if (a == QLatin1String("--")) {
                if (++i >= args.size())
                    break;
            }
            expression = args[i];
            haveExpression = true;
        } else {
            printError(QStringLiteral("vexojs-cli eval: 无法识别的参数 %1").arg(a));
            return kUsageError;
        }
    }
    if (!haveExpression) {
        printError(QStringLiteral("用法: vexojs-cli eval [--load 文件]... [--timeout 秒] 表达式"));
        return kUsageError;
    }
    QStringList sources;
    for (const QString& f : files) {
        const auto text = readScript(f);
        if (!text)
            return kUsageError;
        sources << *text;
    }

    BlockingWaiter waiter(timeout);
    ScriptThread::instance().setWaiter(&waiter);
    StdoutLog log;
    int status = 0;
    {
        GlobalObjects globals;
        bool engineError = false;
        if (!sources.isEmpty())
            engineError = LoadCode(globals, sources, log).outcome == LoadResult::ScriptError;
        PrintingObjectQuestion question;
        const EvalResult result = EvaluateExpression(globals, expression, log, question);
        status = engineError || result.errorLine ? 1 : 0;
        globals.teardown();
    }
    ScriptThread::instance().setWaiter(nullptr);
    return status;
}
