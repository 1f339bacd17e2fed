#include "cli/SnippetCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "serve/ServiceSnippets.h"

int runSnippetCommand(const QStringList& args) {
    const QString usage = QStringLiteral(
        "用法: vexojs-cli snippet python|node|go|curl [--url 服务地址] [--token 令牌] 表达式");
    if (args.isEmpty() || !snippetLanguages().contains(args.first())) {
        printError(usage);
        return kUsageError;
    }
    SnippetTarget target;
    std::optional<QString> expression;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--url") && i + 1 < args.size()) {
            target.url = args[++i];
        } else if (a == QLatin1String("--token") && i + 1 < args.size()) {
            target.token = args[++i];
        } else if (!expression &&
                   (!a.startsWith(QLatin1String("--")) || a == QLatin1String("--"))) {
            if (a == QLatin1String("--") && ++i >= args.size())
                break;
            expression = args[i];
        } else {
            printError(QStringLiteral("vexojs-cli snippet: 无法识别的参数 %1\n").arg(a) + usage);
            return kUsageError;
        }
    }
    if (!expression) {
        printError(usage);
        return kUsageError;
    }
    printText(*makeServiceSnippet(args.first(), *expression, target));
    return 0;
}
