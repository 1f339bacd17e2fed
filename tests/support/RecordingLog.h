#pragma once

#include "script/LogSink.h"

#include <QStringList>

// Keeps every output-pane message as it was appended.
class RecordingLog : public LogSink {
public:
    void append(const QString& text) override { lines << text; }
    QStringList take() {
        QStringList taken = lines;
        lines.clear();
        return taken;
    }
    QStringList lines;
};
