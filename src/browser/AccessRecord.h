#pragma once
// "环境监控": what a page script did with the browser environment, one run per load.
// Each entry is a path (navigator.webdriver, document.cookie, window.chrome), the kind
// of access (读取, 写入, 调用, 缺失), the value first seen, how often it happened and
// where the script did it first. Filled on the script thread, read by the window and the
// command line: every member is safe from any thread.

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QMutex>
#include <QString>

struct AccessEntry {
    QString kind; // 读取, 写入, 调用 or 缺失
    QString path;
    QString value; // as first seen; "未定义" for undefined
    int count = 0;
    int line = 0; // first caller's position in the page's script (1-based)
    int column = 0;

    bool isMissing() const;
    // The line the command line prints: kind, path, value, count, line:column, by tabs.
    QString tabLine() const;
};

struct AccessRun {
    QDateTime started;
    QList<AccessEntry> entries; // in order of first use
    // Entries past kEntryLimit were not kept; how many accesses they had.
    qint64 dropped = 0;
};

class AccessRecord {
public:
    static constexpr int kRunLimit = 20;
    static constexpr int kEntryLimit = 20000;

    // A new run (a load) becomes the one entries go to.
    void beginRun();
    void add(const QString& kind, const QString& path, const QString& value, int line, int column);
    // Newest run first.
    QList<AccessRun> runs() const;
    AccessRun latest() const;
    // Bumped at every change, so a window can tell when to refresh.
    quint64 version() const;

private:
    mutable QMutex m_mutex;
    QList<AccessRun> m_runs;     // oldest first
    QHash<QString, int> m_index; // kind + '\t' + path -> entry of the latest run
    quint64 m_version = 0;
};
