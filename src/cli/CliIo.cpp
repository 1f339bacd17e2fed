#include "cli/CliIo.h"

#include "editor/HttpFetch.h"
#include "editor/ScriptEncoding.h"
#include "editor/ScriptFile.h"

#include <QFile>

#include <cstdio>

void StdoutLog::append(const QString& text) {
    QString line = text;
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
        const FetchResult r = HttpFetch::fetch(path);
        if (!r.ok) {
            printError(QStringLiteral("vexojs-cli: 无法读取 %1：%2").arg(path, r.error));
            return std::nullopt;
        }
        return Input{r.body, r.charset};
    }
    if (path == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly)) {
            printError(QStringLiteral("vexojs-cli: 无法读取标准输入：%1").arg(in.errorString()));
            return std::nullopt;
        }
        return Input{in.readAll(), {}};
    }
    FileRead file = readScriptFile(path);
    if (!file.ok) {
        printError(QStringLiteral("vexojs-cli: 无法读取文件 %1：%2").arg(path, file.error));
        return std::nullopt;
    }
    return Input{std::move(file.bytes), {}};
}
} // namespace

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
