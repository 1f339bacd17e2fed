#include "shell/OutputLog.h"

#include "script/ValueText.h"

#include <QScrollBar>
#include <QTextCursor>

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
    // shown as escapes, and only its closing CR LF ends the line.
    QString shown = oneLineMessage(text);
    if (shown.endsWith(QLatin1String("\r\n")))
        shown.replace(shown.size() - 2, 2, QLatin1String("\n"));
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    setTextCursor(cursor);
    ensureCursorVisible();
}
