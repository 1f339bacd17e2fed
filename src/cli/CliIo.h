#pragma once
// Standard streams for the command line: UTF-8 out, messages with LF line ends.

#include "script/LogSink.h"

#include <QByteArray>
#include <QString>

#include <optional>

// Prints each output-pane message as one line of standard output.
class StdoutLog : public LogSink {
public:
    void append(const QString& text) override;
};

void printLine(const QString& text);
void printText(const QString& text);
void printError(const QString& text);
// A whole file, or standard input for "-"; nullopt (with a message) when unreadable.
std::optional<QByteArray> readInput(const QString& path);
