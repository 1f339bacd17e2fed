#pragma once
// The output pane: an ordinary editable text box that the program only ever appends to.

#include "script/LogSink.h"

#include <QPlainTextEdit>
#include <QStringList>

class OutputLog : public QPlainTextEdit, public LogSink {
    Q_OBJECT
public:
    explicit OutputLog(QWidget* parent = nullptr);

    // Puts the text at the very end, scrolled into view, without an undo record.
    void append(const QString& text) override;
    // Every text appended so far, as it was given.
    const QStringList& messages() const { return m_messages; }

private:
    QStringList m_messages;
};
