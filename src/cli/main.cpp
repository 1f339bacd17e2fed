// vexojs-cli: the workbench's evaluator and code tools for scripts and batch jobs.

#include "cli/CliIo.h"
#include "cli/DecodeCommand.h"
#include "cli/DeobfuscateCommand.h"
#include "cli/EvalCommand.h"
#include "cli/Options.h"
#include "cli/ServeCommand.h"
#include "cli/SnippetCommand.h"
#include "cli/ToolCommands.h"
#include "engine/ScriptThread.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {
void printUsage() {
    printError(QStringLiteral(
        "用法:\n"
        "  vexojs-cli eval [--load 文件]... [--timeout 秒] [--max-line 字符数]\n"
        "       [--break 文件:行号[:条件] [--on-break 表达式]...]... [--trace 函数名,...]\n"
        "       [--fixed 种子[,开始时间]] [--browser] [--env 文件] [--env-log] [--url 网址]\n"
        "       [--user-agent 标识] 表达式\n"
        "  vexojs-cli format|unpack|minify [--timeout 秒] [文件|-]\n"
        "  vexojs-cli decode usc|utf8|url|base64 [文件|-]\n"
        "  vexojs-cli deobfuscate [--history] [--timeout 秒] [--check 表达式] [--out-dir 目录] "
        "[文件|-]\n"
        "  vexojs-cli serve [--load 文件|网址]... [--port 端口] [--host 地址] [--workers 引擎数]\n"
        "                   [--timeout 秒] [--token 令牌] [--queue 队列长度]\n"
        "  vexojs-cli snippet python|node|go|curl [--url 服务地址] [--token 令牌] 表达式\n"
        "每个命令都可加 --max-time 秒：读取网址的总时限（默认 600）"));
}
} // namespace

int main(int argc, char* argv[]) {
    // The layout and the minifier finish within a second or two even on megabytes: the
    // engine's top-tier compiler would spend more on their code than it gives back before
    // they end (measured in bench/jsdev/side_by_side.py). Read by the engine when it
    // starts, so set before anything runs; a value in the environment wins.
    if (argc > 1 && (qstrcmp(argv[1], "format") == 0 || qstrcmp(argv[1], "minify") == 0))
        setenv("JSC_useFTLJIT", "false", 0);
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == QLatin1String("--help") ||
        args.first() == QLatin1String("-h")) {
        printUsage();
        return args.isEmpty() ? kUsageError : 0;
    }
    const QString command = args.takeFirst();
    if (!takeReadOptions(args))
        return kUsageError;
    int status = kUsageError;
    if (command == QLatin1String("eval"))
        status = runEvalCommand(args);
    else if (command == QLatin1String("format") || command == QLatin1String("unpack") ||
             command == QLatin1String("minify"))
        status = runToolCommand(command, args);
    else if (command == QLatin1String("decode"))
        status = runDecodeCommand(args);
    else if (command == QLatin1String("deobfuscate"))
        status = runDeobfuscateCommand(args);
    else if (command == QLatin1String("serve"))
        status = runServeCommand(args);
    else if (command == QLatin1String("snippet"))
        status = runSnippetCommand(args);
    else
        printUsage();
    ScriptThread::instance().shutdown();
    return status;
}
