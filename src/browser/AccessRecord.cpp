#include "browser/AccessRecord.h"

#include <QMutexLocker>

bool AccessEntry::isMissing() const {
    return kind == QLatin1String("缺失");
}

QString AccessEntry::tabLine() const {
    return QStringList{kind, path, value, QString::number(count),
                       QStringLiteral("%1:%2").arg(line).arg(column)}
        .join(QLatin1Char('\t'));
}

void AccessRecord::beginRun() {
    QMutexLocker lock(&m_mutex);
    AccessRun run;
    run.started = QDateTime::currentDateTime();
    m_runs.append(run);
    while (m_runs.size() > kRunLimit)
        m_runs.removeFirst();
    m_index.clear();
    ++m_version;
}

void AccessRecord::add(const QString& kind, const QString& path, const QString& value, int line,
                       int column) {
    QMutexLocker lock(&m_mutex);
    if (m_runs.isEmpty())
        m_runs.append(AccessRun{QDateTime::currentDateTime(), {}, 0});
    AccessRun& run = m_runs.last();
    const QString key = kind + QLatin1Char('\t') + path;
    const auto it = m_index.constFind(key);
    if (it != m_index.constEnd()) {
        ++run.entries[*it].count;
    } else if (run.entries.size() >= kEntryLimit) {
        ++run.dropped;
    } else {
        m_index.insert(key, int(run.entries.size()));
        run.entries.append(AccessEntry{kind, path, value, 1, line, column});
    }
    ++m_version;
}

QList<AccessRun> AccessRecord::runs() const {
    QMutexLocker lock(&m_mutex);
    QList<AccessRun> newestFirst;
    newestFirst.reserve(m_runs.size());
    for (auto it = m_runs.crbegin(); it != m_runs.crend(); ++it)
        newestFirst.append(*it);
    return newestFirst;
}

AccessRun AccessRecord::latest() const {
    QMutexLocker lock(&m_mutex);
    return m_runs.isEmpty() ? AccessRun{} : m_runs.last();
}

quint64 AccessRecord::version() const {
    QMutexLocker lock(&m_mutex);
    return m_version;
}
