#pragma once
// The output-pane lines a run of the user's code writes (console calls, recorded
// requests), kept in order until the run's report takes them. A run writes at most
// kLineLimit lines; the rest are counted and said in one last line.

#include <QString>
#include <QStringList>

class ScriptOutput {
public:
    static constexpr int kLineLimit = 5000;
    // All the text one run may keep, so a loop of huge lines cannot exhaust memory.
    static constexpr qsizetype kTextBudget = 64 * 1024 * 1024;

    // One message without its "-->" and line end ("console.log：abc").
    void add(const QString& message);
    // The messages so far as pane lines ("-->…\r\n"), then the count of those left out;
    // the next run starts afresh.
    QStringList take();
    bool isEmpty() const { return m_lines.isEmpty() && m_omitted == 0; }

private:
    QStringList m_lines;
    qsizetype m_kept = 0;
    qint64 m_omitted = 0;
};
