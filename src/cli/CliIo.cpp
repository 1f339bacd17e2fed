#include "cli/CliIo.h"

#include "editor/HttpFetch.h"
#include "editor/ScriptEncoding.h"
#include "editor/ScriptFile.h"
#include "script/ValueText.h"

#include <QFile>

#include <cstdio>

void StdoutLog::append(const QString& text) {
    QString line = oneLineMessage(text);
    if (line.endsWith(QLatin1String("\r\n")))
        line.chop(2);
    printLine(line);
}

void printText(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void printLine(const QString& text) {
    printText(text);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void printError(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

namespace {
int g_downloadLimitMs = HttpFetch::kOverallTimeoutMs;

struct Input {
    QByteArray bytes;
    QByteArray charset; // what the server said, for addresses
};

bool isAddress(const QString& path) {
    return path.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           path.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

std::optional<Input> read(const QString& path) {
    if (isAddress(path)) {
        HttpFetch reader;
        reader.setOverallTimeout(g_downloadLimitMs);
        const FetchResult r = reader.run(path);
        if (!r.ok) {
            printError(QStringLiteral("vexojs-cli: 无法读取 %1：%2").arg(path, r.error));
            return std::nullopt;
        }
        return Input{r.body, r.charset};
    }
    if (path == QLatin1String("-")) {
        QFile in;
        FileRead read;
        if (in.open(stdin, QIODevice::ReadOnly))
            read = readWholeDevice(in); // the same cap as files and downloads
        else
            read.error = in.errorString();
        if (!read.ok) {
            printError(QStringLiteral("vexojs-cli: 无法读取标准输入：%1").arg(read.error));
            return std::nullopt;
        }
        return Input{std::move(read.bytes), {}};
    }
    FileRead file = readScriptFile(path);
    if (!file.ok) {
        printError(QStringLiteral("vexojs-cli: 无法读取文件 %1：%2").arg(path, file.error));
        return std::nullopt;
    }
    return Input{std::move(file.bytes), {}};
}
} // namespace

bool takeReadOptions(QStringList& args) {
    const qsizetype at = args.indexOf(QStringLiteral("--max-time"));
    if (at < 0)
        return true;
    bool ok = false;
    const double seconds = at + 1 < args.size() ? args[at + 1].toDouble(&ok) : 0.0;
    // Up to about 24 days: what a timer holds.
    if (!ok || !(seconds > 0.0) || seconds > 2.0e6) {
        printError(QStringLiteral("vexojs-cli: --max-time 需要一个正数（秒），而不是 %1")
                       .arg(args.value(at + 1)));
        return false;
    }
    g_downloadLimitMs = int(seconds * 1000.0 + 0.5);
    args.remove(at, 2);
    return true;
}

std::optional<QByteArray> readInput(const QString& path) {
    auto input = read(path);
    if (!input)
        return std::nullopt;
    return std::move(input->bytes);
}

std::optional<QString> readScript(const QString& path) {
    const auto input = read(path);
    if (!input)
        return std::nullopt;
    return QString::fromUtf8(decodeScript(input->bytes, input->charset).utf8);
}
