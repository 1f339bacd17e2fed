#pragma once

#include <QString>

// Where the workbench's messages go: the output pane in the window, standard output in
// the command line. Each message is one text starting with "-->" and ending in CR LF.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void append(const QString& text) = 0;
};
