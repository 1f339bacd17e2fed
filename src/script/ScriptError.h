#pragma once

#include <QString>
#include <QStringList>

#include <optional>

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

    // The number of an Error thrown by the engine, from its name (and message).
    static int numberFor(const QString& name, const QString& message) {
        if (name == QLatin1String("SyntaxError"))
            return Syntax;
        if (name == QLatin1String("ReferenceError"))
            return Reference;
        if (name == QLatin1String("TypeError"))
            return Type;
        if (name == QLatin1String("URIError"))
            return Uri;
        if (name == QLatin1String("RangeError")) {
            if (message.contains(QLatin1String("call stack")))
                return StackOverflow;
            if (message.contains(QLatin1String("Out of memory"), Qt::CaseInsensitive))
                return OutOfMemory;
            return Range;
        }
        if (name == QLatin1String("Error") &&
            message.contains(QLatin1String("Out of memory"), Qt::CaseInsensitive))
            return OutOfMemory;
        return Thrown;
    }
};

struct Procedure {
    QString name;
    int numArgs = 0;
    bool hasReturnValue = true;
    // How the loaded text defines the name: "function", "var", "let", "const", "class" or
    // "=" (an assignment); empty when the text does not (a name set at run time).
    QString definedBy;
    // The parameter names written in the definition, when a function is written there (a
    // destructuring pattern is an empty name, a rest parameter "...name").
    std::optional<QStringList> parameterNames;
    // Where the name stands in the text as it was loaded (UTF-16 units); -1 when unknown.
    qsizetype offset = -1;
};
