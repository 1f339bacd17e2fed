#pragma once
// The output pane: an ordinary editable text box that the program only ever appends to.
// A line longer than the pane can lay out quickly is shown cut; its whole text stays
// reachable from the pane's context menu.

#include "script/LogSink.h"

#include <QPlainTextEdit>
#include <QStringList>

class QMenu;

class OutputLog : public QPlainTextEdit, public LogSink {
    Q_OBJECT
public:
    explicit OutputLog(QWidget* parent = nullptr);

    // Puts the text at the very end, scrolled into view, without an undo record. A
    // message longer than kPaneLineLimit characters is shown cut ("…（共 N 字符）").
    void append(const QString& text) override;
    // Passed on as consoleValues, for the window to show.
    void showValues(const std::vector<OutputValue>& values) override;
    // Every text appended so far, as it was given (never cut).
    const QStringList& messages() const { return m_messages; }

    // The whole text of the line at `viewportPos` (the messages that make up that line
    // of the pane, as they were given, without the closing CR LF). Below the last line:
    // the last line. Empty for a line no message wrote (or nothing appended yet).
    QString wholeLineAt(const QPoint& viewportPos) const;
    // The pane's context menu for `viewportPos`: the usual entries, then "复制完整结果"
    // and "在新编辑框中打开" for the line there. The caller owns the menu.
    QMenu* contextMenuAt(const QPoint& viewportPos);

signals:
    // "在新编辑框中打开" with the whole text of a line.
    void openInEditorRequested(const QString& text);
    // The objects a run gave to console.dir.
    void consoleValues(const std::vector<OutputValue>& values);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QStringList m_messages;
};
