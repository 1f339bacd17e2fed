#include "cli/DeobfuscateCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "engine/ScriptThread.h"
#include "tools/DeobfuscateScript.h"
#include "tools/FormatScript.h"

namespace {
void printHistory(const DeobResult& result) {
    for (const DeobStage& s : result.history)
        printError(s.historyLine(true));
}
// What the behaviour check found; the expression of --check with its value.
void printBehaviour(const DeobBehaviour& b, const QString& check) {
    if (!b.rolledBack.isEmpty())
        printError(b.rollbackMessage());
    if (check.isEmpty())
        return;
    if (!b.haveCheck || (b.checkOriginal.isEmpty() && b.rolledBack.isEmpty()))
        printError(QStringLiteral("检查 %1：%2")
                       .arg(check, b.note.isEmpty() ? QStringLiteral("未检查") : b.note));
    else if (b.checkOriginal.startsWith(QStringLiteral("抛出 ")))
        printError(QStringLiteral("检查 %1：原脚本上%2，未比较").arg(check, b.checkOriginal));
    else if (b.rolledBack.isEmpty())
        printError(QStringLiteral("检查 %1：各层结果相同：%2").arg(check, b.checkOriginal));
    else
        printError(QStringLiteral("检查 %1：原脚本 %2，「%3」之后 %4")
                       .arg(check, b.checkOriginal, b.checkStage, b.checkChanged));
}
} // namespace

int runDeobfuscateCommand(const QStringList& args) {
    DeobOptions options;
    bool history = false;
    QString path = QStringLiteral("-");
    bool havePath = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--timeout") && i + 1 < args.size()) {
            if (!parseTimeout(args[++i], options.sandboxSeconds))
                return kUsageError;
        } else if (a == QLatin1String("--check") && i + 1 < args.size()) {
            options.check = args[++i];
        } else if (a == QLatin1String("--history")) {
            history = true;
        } else if (!havePath && (a == QLatin1String("-") || !a.startsWith(QLatin1String("--")))) {
            path = a;
            havePath = true;
        } else {
            printError(QStringLiteral("vexojs-cli deobfuscate: 无法识别的参数 %1").arg(a));
            return kUsageError;
        }
    }
    const auto bytes = readInput(path);
    if (!bytes)
        return kUsageError;
    const QString source = QString::fromUtf8(*bytes);
    if (source.trimmed().isEmpty()) {
        printError(QStringLiteral("vexojs-cli deobfuscate: 没有JS代码"));
        return 1;
    }

    const DeobResult result = DeobfuscateScript(source, options);
    if (history)
        printHistory(result);
    if (result.ok)
        printBehaviour(result.behaviour, options.check);
    if (!result.ok) {
        printError(QStringLiteral("vexojs-cli deobfuscate: %1").arg(result.error));
        return 1;
    }
    const ToolResult formatted = FormatScript(result.code);
    if (!formatted.ok) {
        printError(QStringLiteral("vexojs-cli deobfuscate: %1").arg(formatted.error));
        return 1;
    }
    printText(formatted.text);
    return 0;
}
