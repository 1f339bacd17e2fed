#pragma once
// Keeps the findings of a fuzz run: the first input of every distinct finding is saved,
// repeats are only counted.

#include <QHash>
#include <QString>

class FindingLog {
public:
    explicit FindingLog(QString directory) : m_directory(std::move(directory)) {}
    void record(const QString& kind, const QString& detail, const QString& input);
    int distinct() const { return int(m_seen.size()); }
    long total() const { return m_total; }
    QString summary() const;

private:
    QString m_directory;
    QHash<QString, long> m_seen;
    long m_total = 0;
};
