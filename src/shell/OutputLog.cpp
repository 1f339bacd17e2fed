#include "shell/OutputLog.h"

#include "script/ValueText.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

namespace {
// The messages a line of the pane was written from. Kept on the line itself, so lines
// the user types or deletes in the pane do not shift the others' messages.
struct LineMessages : QTextBlockUserData {
    explicit LineMessages(qsizetype index) : first(index), last(index) {}
    qsizetype first;
    qsizetype last;
};
} // namespace

OutputLog::OutputLog(QWidget* parent) : QPlainTextEdit(parent) {
    setObjectName(QStringLiteral("编辑框_output"));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setFont(QFont(QStringLiteral("微软雅黑"), 9));
    QPalette p = palette();
    p.setColor(QPalette::Base, QColor(0, 128, 128));
    p.setColor(QPalette::Text, QColor(0, 0, 0));
    setPalette(p);
    // Appends leave no undo record.
    document()->setUndoRedoEnabled(false);
}

void OutputLog::append(const QString& text) {
    m_messages.append(text);
    // One message, one line: line breaks and other control characters inside it are
    // shown as escapes, and only its closing CR LF ends the line. The line is cut first:
    // laying out a line of a million characters takes the GUI thread for many seconds.
    QString shown = oneLineMessage(cutLongLine(text, kPaneLineLimit));
    if (shown.endsWith(QLatin1String("\r\n")))
        shown.replace(shown.size() - 2, 2, QLatin1String("\n"));
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    QTextBlock line = cursor.block();
    if (auto* data = static_cast<LineMessages*>(line.userData()))
        data->last = m_messages.size() - 1;
    else
        line.setUserData(new LineMessages(m_messages.size() - 1));
    cursor.insertText(shown);
    setTextCursor(cursor);
    ensureCursorVisible();
}

QString OutputLog::wholeLineAt(const QPoint& viewportPos) const {
    QTextBlock line = cursorForPosition(viewportPos).block();
    // The empty line after the last message, or the space below it, stands for the last line.
    if (!line.userData() && line == document()->lastBlock() && line.length() <= 1)
        line = line.previous();
    const auto* data = line.isValid() ? static_cast<const LineMessages*>(line.userData()) : nullptr;
    if (!data)
        return {}; // a line typed into the pane: no message behind it
    QString whole;
    for (qsizetype i = data->first; i <= data->last && i < m_messages.size(); ++i)
        whole += m_messages[i];
    if (whole.endsWith(QLatin1String("\r\n")))
        whole.chop(2);
    return whole;
}

QMenu* OutputLog::contextMenuAt(const QPoint& viewportPos) {
    QMenu* menu = createStandardContextMenu(viewportPos);
    menu->addSeparator();
    const QString whole = wholeLineAt(viewportPos);
    QAction* copy = menu->addAction(QStringLiteral("复制完整结果"));
    QAction* open = menu->addAction(QStringLiteral("在新编辑框中打开"));
    copy->setEnabled(!whole.isEmpty());
    open->setEnabled(!whole.isEmpty());
    connect(copy, &QAction::triggered, this,
            [whole] { QGuiApplication::clipboard()->setText(whole); });
    connect(open, &QAction::triggered, this, [this, whole] { emit openInEditorRequested(whole); });
    return menu;
}

void OutputLog::contextMenuEvent(QContextMenuEvent* event) {
    // From the keyboard the menu is for the line of the text cursor.
    const QPoint at =
        event->reason() == QContextMenuEvent::Mouse ? event->pos() : cursorRect().center();
    QMenu* menu = contextMenuAt(at);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void OutputLog::showValues(const std::vector<OutputValue>& values) {
    emit consoleValues(values);
}
