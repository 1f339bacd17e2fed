#include "cli/EvalCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ObjectDescription.h"
#include "script/ScriptSession.h"
#include "script/ValueText.h"

#include <QDateTime>

namespace {
// --fixed SEED[,START]: START in milliseconds since 1970 or as an ISO date and time (UTC
// unless it names its offset).
std::optional<FixedTime> parseFixed(const QString& text) {
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 2)
        return std::nullopt;
    bool ok = false;
    FixedTime fixed;
    fixed.seed = parts[0].trimmed().toULongLong(&ok);
    if (!ok)
        return std::nullopt;
    if (parts.size() == 2) {
        const QString start = parts[1].trimmed();
        fixed.startMs = double(start.toLongLong(&ok));
        if (!ok) {
            QDateTime moment = QDateTime::fromString(start, Qt::ISODateWithMs);
            if (!moment.isValid())
                return std::nullopt;
            if (moment.timeSpec() == Qt::LocalTime)
                moment.setTimeSpec(Qt::UTC);
            fixed.startMs = double(moment.toMSecsSinceEpoch());
        }
    }
    return fixed;
}

// One printed line, cut to the --max-line limit (-1: whole, as a batch job wants it).
void printCut(const QString& line, qsizetype maxLine) {
    printLine(maxLine < 0 ? line : cutLongLine(line, maxLine));
}

// The output-pane messages, each as one line of standard output.
class EvalLog : public LogSink {
public:
    explicit EvalLog(qsizetype maxLine) : m_maxLine(maxLine) {}
    void append(const QString& text) override {
        QString line = oneLineMessage(text);
        if (line.endsWith(QLatin1String("\r\n")))
            line.chop(2);
        printCut(line, m_maxLine);
    }

private:
    qsizetype m_maxLine;
};

// The command line answers the object question itself and prints both listings.
class PrintingObjectQuestion : public ObjectQuestion {
public:
    PrintingObjectQuestion(LogSink& log, qsizetype maxLine) : m_log(log), m_maxLine(maxLine) {}
    bool askToInspect() override { return true; }
    void inspect(const std::shared_ptr<ScriptObject>& object) override {
        bool listingStopped = false;
        for (const QString& item : ArrayListing(object, &listingStopped))
            printCut(item, m_maxLine);
        bool membersStopped = false;
        QString members = DescribeObject(object, &membersStopped);
        members.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        if (m_maxLine < 0) {
            printText(members);
            if (!members.endsWith(QLatin1Char('\n')))
                printText(QStringLiteral("\n"));
        } else {
            QStringList lines = members.split(QLatin1Char('\n'));
            if (lines.size() > 1 && lines.last().isEmpty())
                lines.removeLast();
            for (const QString& line : lines)
                printCut(line, m_maxLine);
        }
        if (listingStopped || membersStopped) {
            // Said as an engine error is, so a batch job sees it in the output and the status.
            m_log.message(QStringLiteral("发生错误：错误号=5100"));
            m_log.message(QStringLiteral("错误描述：脚本运行已被用户中止"));
            m_stopped = true;
        }
    }
    bool stopped() const { return m_stopped; }

private:
    LogSink& m_log;
    qsizetype m_maxLine;
    bool m_stopped = false;
};
} // namespace

int runEvalCommand(const QStringList& args) {
    QStringList files;
    double timeout = 0.0;
    qsizetype maxLine = -1;
    QString expression;
    bool haveExpression = false;
    std::optional<FixedTime> fixed;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--load") && i + 1 < args.size()) {
            files << args[++i];
        } else if (a == QLatin1String("--timeout") && i + 1 < args.size()) {
            if (!parseTimeout(args[++i], timeout))
                return kUsageError;
        } else if (a == QLatin1String("--fixed") && i + 1 < args.size()) {
            fixed = parseFixed(args[++i]);
            if (!fixed) {
                printError(QStringLiteral("vexojs-cli eval: --fixed 需要 种子[,开始时间]，"
                                          "开始时间为毫秒数或 ISO 日期时间"));
                return kUsageError;
            }
        } else if (a == QLatin1String("--max-line") && i + 1 < args.size()) {
            if (!parseLineLimit(args[++i], maxLine))
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
        printError(QStringLiteral(
            "用法: vexojs-cli eval [--load 文件]... [--timeout 秒] [--max-line 字符数] "
            "[--fixed 种子[,开始时间]] 表达式"));
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
    EvalLog log(maxLine);
    int status = 0;
    {
        GlobalObjects globals;
        globals.mainHost().setFixedTime(fixed);
        bool engineError = false;
        if (!sources.isEmpty())
            engineError = LoadCode(globals, sources, log).outcome == LoadResult::ScriptError;
        // Without loaded code ("代码加载失败", "代码未加载") nothing is evaluated.
        const bool loaded = globals.codeLoaded == 1;
        PrintingObjectQuestion question(log, maxLine);
        const EvalResult result = EvaluateExpression(globals, expression, log, question);
        status = engineError || !loaded || result.errorLine || question.stopped() ? 1 : 0;
        globals.teardown();
    }
    ScriptThread::instance().setWaiter(nullptr);
    return status;
}
