#include "cli/CliIo.h"

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

std::optional<QByteArray> readInput(const QString& path) {
    QFile file;
    const bool ok = path == QLatin1String("-")
                        ? file.open(stdin, QIODevice::ReadOnly)
                        : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    if (!ok) {
        printError(QStringLiteral("vexojs-cli: 无法读取文件 %1：%2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return file.readAll();
}
