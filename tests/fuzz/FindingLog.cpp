#include "FindingLog.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include <cstdio>

void FindingLog::record(const QString& kind, const QString& detail, const QString& input) {
    ++m_total;
    // Findings that differ only in the generated names or values count as one.
    const QString key = kind + QLatin1Char('|') + detail.left(60);
    if (m_seen[key]++ > 0)
        return;
    std::fprintf(stderr, "FINDING %s: %s\n", kind.toUtf8().constData(),
                 detail.toUtf8().constData());
    if (m_directory.isEmpty())
        return;
    QDir().mkpath(m_directory);
    const QString name =
        kind + QLatin1Char('-') +
        QString::fromLatin1(
            QCryptographicHash::hash(input.toUtf8(), QCryptographicHash::Sha1).toHex().left(12)) +
        QStringLiteral(".js");
    QFile out(QDir(m_directory).filePath(name));
    if (out.open(QIODevice::WriteOnly))
        out.write(input.toUtf8());
    QFile note(QDir(m_directory).filePath(name + QStringLiteral(".txt")));
    if (note.open(QIODevice::WriteOnly))
        note.write((kind + QStringLiteral(": ") + detail + QLatin1Char('\n')).toUtf8());
}

QString FindingLog::summary() const {
    QStringList lines;
    for (auto it = m_seen.cbegin(); it != m_seen.cend(); ++it)
        lines << QStringLiteral("  %1 x %2").arg(it.value()).arg(it.key());
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}
