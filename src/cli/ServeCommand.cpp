#include "cli/ServeCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "serve/CallService.h"

#include <QByteArray>

#include <csignal>
#include <cstdio>
#include <mutex>
#include <pthread.h>

namespace {
constexpr quint16 kDefaultPort = 8731;

const QString kUsage = QStringLiteral(
    "用法: vexojs-cli serve [--load 文件|网址]... [--port 端口] [--host 地址] [--workers 引擎数]\n"
    "                       [--timeout 秒] [--token 令牌] [--queue 队列长度]");

// One line to standard error in one write, so lines from the HTTP thread never interleave.
void logLine(const QString& line) {
    static std::mutex mutex;
    const QByteArray bytes = (line + QLatin1Char('\n')).toUtf8();
    std::lock_guard lock(mutex);
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
    std::fflush(stderr);
}

bool wholeNumber(const QString& text, int low, int high, int& value) {
    bool ok = false;
    const int n = text.toInt(&ok);
    if (!ok || n < low || n > high)
        return false;
    value = n;
    return true;
}
} // namespace

int runServeCommand(const QStringList& args) {
    // SIGINT and SIGTERM are taken by this thread alone (sigwait below): blocked before any
    // other thread starts, so every thread made from here on inherits the mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    ServiceOptions options;
    options.http.port = kDefaultPort;
    QStringList files;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        const QString value = hasValue ? args[i + 1] : QString();
        int n = 0;
        if (a == QLatin1String("--load") && hasValue) {
            files << value;
        } else if (a == QLatin1String("--port") && hasValue && wholeNumber(value, 0, 65535, n)) {
            options.http.port = quint16(n);
        } else if (a == QLatin1String("--host") && hasValue) {
            options.http.host = value;
        } else if (a == QLatin1String("--workers") && hasValue && wholeNumber(value, 1, 256, n)) {
            options.workers = n;
        } else if (a == QLatin1String("--queue") && hasValue && wholeNumber(value, 0, 1 << 20, n)) {
            options.queueLimit = n;
        } else if (a == QLatin1String("--timeout") && hasValue) {
            if (!parseTimeout(value, options.timeoutSeconds))
                return kUsageError;
        } else if (a == QLatin1String("--token") && hasValue && !value.isEmpty()) {
            options.http.token = value;
        } else {
            printError(QStringLiteral("vexojs-cli serve: 无法识别的参数或取值 %1\n").arg(a) +
                       kUsage);
            return kUsageError;
        }
        ++i;
    }
    for (const QString& f : files) {
        const auto text = readScript(f);
        if (!text)
            return kUsageError;
        options.sources << *text;
    }

    CallService service([](const QString& method, const QString& path, int status, double ms) {
        logLine(QStringLiteral("%1 %2 %3 %4ms").arg(method, path).arg(status).arg(ms, 0, 'f', 2));
    });
    QString error;
    if (!service.start(options, &error)) {
        printError(QStringLiteral("vexojs-cli serve: ") + error);
        return 1;
    }
    const PoolHealth health = service.health();
    // The address alone on standard output, for scripts that started the service on
    // port 0 and need to know where it listens.
    printLine(service.address());
    std::fflush(stdout);
    logLine(QStringLiteral("调用服务已启动：%1（%2 个引擎，每次调用时限 %3 秒）")
                .arg(service.address())
                .arg(health.workers)
                .arg(options.timeoutSeconds));

    int received = 0;
    sigwait(&stopSignals, &received);
    logLine(QStringLiteral("收到 %1，正在完成进行中的调用…")
                .arg(received == SIGINT ? QStringLiteral("SIGINT") : QStringLiteral("SIGTERM")));
    service.stop();
    const PoolHealth end = service.health();
    logLine(QStringLiteral("调用服务已停止（共 %1 次调用，其中 %2 次出错）")
                .arg(end.served)
                .arg(end.errors));
    return 0;
}
