#pragma once
// Parameter names of a script function, read from the text the engine gives for it
// (Function.prototype.toString). Only functions written with the `function` keyword and
// setters are read; for arrow functions, methods, classes, async functions, generators
// and built-in functions the text says too little or too much, and the caller falls back
// to the function's length.

#include <QList>
#include <QString>

#include <optional>

struct FunctionParameter {
    // Empty for a destructuring pattern; "...name" for a rest parameter.
    QString name;
    // A default value or a rest parameter: the caller may leave it out.
    bool optional = false;
};

using FunctionParameters = QList<FunctionParameter>;

// `function name(a, b = 1)` and `function (a)`; nullopt for every other kind of text.
std::optional<FunctionParameters> parseFunctionParameters(const QString& source);
// A setter's text: `set name(v)`, or a plain function installed as a setter.
std::optional<FunctionParameters> parseSetterParameters(const QString& source);
