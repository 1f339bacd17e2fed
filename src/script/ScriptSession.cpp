#include "script/ScriptSession.h"

#include "script/ErrorTexts.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ResultKind.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "script/ValueText.h"

void WriteScriptOutput(ScriptHost& host, LogSink& log) {
    QStringList lines;
    std::vector<OutputValue> values;
    host.withEngine([&](ScriptEngine& e) {
        lines = e.takeOutput();
        values = e.takeConsoleValues();
    });
    for (const QString& line : lines)
        log.append(line);
    if (!values.empty())
        log.showValues(values);
}

std::optional<int> ReportScriptError(ScriptHost& host, LogSink& log,
                                     std::optional<ErrorPlace>* place) {
    const ScriptError e = host.Error();
    if (place)
        place->reset();
    if (e.number == 0)
        return std::nullopt;
    if (place && e.inCode && e.line > 0)
        *place = ErrorPlace{e.line, e.column};
    log.message(QStringLiteral("发生错误：错误号=") + formatNumber(e.number));
    log.message(QStringLiteral("错误描述：") + describeError(e.description));
    log.message(QStringLiteral("错误代码：") + e.text);
    log.message(QStringLiteral("错误位置：") + QString::number(e.line) + QStringLiteral("行") +
                formatNumber(e.column) + QStringLiteral("字符处"));
    return e.line;
}

LoadResult LoadCode(GlobalObjects& globals, const QString& code, LogSink& log) {
    return LoadCode(globals, QStringList{code}, log);
}

LoadResult LoadCode(GlobalObjects& globals, const QStringList& sources, LogSink& log) {
    LoadResult result;
    ScriptHost& host = globals.mainHost();
    host.Language(QStringLiteral("JScript"));
    host.Reset();
    for (const QString& code : sources) {
        if (code.isEmpty()) {
            log.message(QStringLiteral("代码加载失败，请检查代码内容"));
            result.outcome = LoadResult::Empty;
            return result;
        }
        const double status = host.AddCode(code);
        WriteScriptOutput(host, log);
        if (status > 0.0000001 || status < -0.0000001) {
            log.message(QStringLiteral("代码加载失败，请检查代码内容"));
            globals.codeLoaded = 0;
            result.outcome = LoadResult::Failed;
            return result;
        }
        if (host.Error().number != 0) {
            result.errorLine = ReportScriptError(host, log, &result.errorPlace);
            globals.codeLoaded = 1;
            result.outcome = LoadResult::ScriptError;
            return result;
        }
    }
    log.message(QStringLiteral("代码加载成功"));
    result.proceduresRefreshed = host.Procedures(globals.procedures());
    globals.codeLoaded = 1;
    result.outcome = LoadResult::Loaded;
    return result;
}

EvalResult EvaluateExpression(GlobalObjects& globals, const QString& expression, LogSink& log,
                              ObjectQuestion& question) {
    EvalResult result;
    ScriptHost& host = globals.mainHost();
    const Variant value = host.Eval(expression);
    WriteScriptOutput(host, log);
    result.kind = ResultKind(value.vt());
    result.errorLine = ReportScriptError(host, log, &result.errorPlace);
    if (globals.codeLoaded != 1) {
        log.message(QStringLiteral("计算出错：代码未加载"));
        return result;
    }
    log.message(QStringLiteral("返回类型：") + ResultTypeName(result.kind));
    const QString prefix = QStringLiteral("计算结果：");
    switch (result.kind) {
    case 1:
        // A BigInt keeps all its digits; every other number is written as a double.
        log.message(prefix + (value.vt() == Variant::Decimal ? value.stringValue()
                                                             : formatNumber(value.toDouble())));
        break;
    case 2:
        log.message(prefix + value.toText());
        break;
    case 3:
        log.message(prefix + formatBool(value.toBool()));
        break;
    case 4:
        log.message(prefix + formatDate(value.toDate()));
        break;
    case 5:
        globals.setInspectedObject(value.toObject());
        if (question.askToInspect())
            question.inspect(globals.inspectedObject());
        break;
    default:
        log.message(QStringLiteral("该类型结果此版本不支持"));
        break;
    }
    return result;
}
