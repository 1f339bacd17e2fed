#pragma once
// The output-pane lines a run of the user's code writes (console calls, recorded
// requests), kept in order until the run's report takes them. A run writes at most
// kLineLimit lines; the rest are counted and said in one last line. The objects given to
// console.dir are kept beside the lines for a tree of them, where asked (the window's
// engine): the last kValueLimit, so values nobody takes hold little.

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class ScriptObject;

struct OutputValue {
    QString name; // "console.dir 1", numbered through the run
    std::shared_ptr<ScriptObject> object;
};

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

    static constexpr int kValueLimit = 20;
    void setKeepsValues(bool keeps) { m_keepsValues = keeps; }
    bool keepsValues() const { return m_keepsValues; }
    void addValue(std::shared_ptr<ScriptObject> object);
    // The values kept since the last call, oldest first; numbering starts afresh.
    std::vector<OutputValue> takeValues();

private:
    bool m_keepsValues = false;
    std::vector<OutputValue> m_values;
    int m_valueCount = 0;
    QStringList m_lines;
    qsizetype m_kept = 0;
    qint64 m_omitted = 0;
};
