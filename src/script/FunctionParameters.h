#pragma once
// Parameter names of a script function, read from the text the engine gives for it
// (Function.prototype.toString): `function` declarations and expressions, generators,
// async functions, arrow functions, methods written in objects and classes (with their
// get, set, static, async and * prefixes), and classes (their constructor's). Built-in
// functions name no parameters in their text; for them, and for a class without a
// constructor of its own, the caller falls back to the function's length.

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

// nullopt for text that is none of the forms above.
std::optional<FunctionParameters> parseFunctionParameters(const QString& source);
// A setter's text: `set name(v)`, or any other function installed as a setter.
std::optional<FunctionParameters> parseSetterParameters(const QString& source);
