#pragma once

#include "engine/ScriptOutput.h"

#include <QString>

#include <vector>

// Where the workbench's messages go: the output pane in the window, standard output in
// the command line. Each message is one text starting with "-->" and ending in CR LF;
// message() adds both, so no caller writes them.
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void append(const QString& text) = 0;
    void message(const QString& text) {
        append(QStringLiteral("-->") + text + QStringLiteral("\r\n"));
    }
    // The objects a run gave to console.dir, after its lines; only the window shows them.
    virtual void showValues(const std::vector<OutputValue>& values) { (void)values; }
};
