#pragma once
// Standard streams for the command line: UTF-8 out, messages with LF line ends.

#include "script/LogSink.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

// Prints each output-pane message as one line of standard output.
class StdoutLog : public LogSink {
public:
    void append(const QString& text) override;
};

void printLine(const QString& text);
void printText(const QString& text);
void printError(const QString& text);
// Takes "--max-time SECONDS" (a positive number) out of the arguments: the overall limit
// of every download this run makes, instead of 10 minutes. False, with a message, when
// the number is missing or bad.
bool takeReadOptions(QStringList& args);
// The bytes of a whole file, of standard input for "-", or of the body at an http(s)
// address; nullopt (with a message) when they cannot be read.
std::optional<QByteArray> readInput(const QString& path);
// The same input as script text, its encoding detected as "打开" and "读取JS" do.
std::optional<QString> readScript(const QString& path);
