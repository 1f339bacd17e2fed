#pragma once

#include <QString>

// The engine's last error; number 0 means none. Numbers follow the classic JScript
// numbering so that users' habits carry over.
struct ScriptError {
    enum Number {
        None = 0,
        OutOfMemory = 7,
        StackOverflow = 28,
        Syntax = 1002,
        Type = 5007,
        Reference = 5009,
        Thrown = 5022,
        Uri = 5025,
        Range = 5029,
        Stopped = 5100,
    };

    int number = None;
    QString description;
    QString text; // the source line at the error
    int line = 0; // 1-based; 0 when unknown
    int column = 0;
    // True when the error arose in text added as code (not in an evaluated expression),
    // so that line and column point into the loaded script.
    bool inCode = false;
};

struct Procedure {
    QString name;
    int numArgs = 0;
    bool hasReturnValue = true;
};
