#include "shell/OutputLog.h"

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
    // The pane shows one line per CR LF; a lone CR or LF also breaks the line.
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QTextCursor cursor(document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown);
    setTextCursor(cursor);
    ensureCursorVisible();
}
