#pragma once
// JSON text written by hand where the service puts together an answer around a value the
// engine already wrote as JSON (QJsonDocument would parse it again and sort its keys).

#include <QByteArray>
#include <QString>

// A JSON string literal in UTF-8. Control characters, lone surrogates (which UTF-8
// cannot carry), U+2028 and U+2029 are written as escapes; every other character as it
// is, so Chinese and emoji stay readable. The result is also a valid string literal in
// JavaScript, Python and Go source.
QByteArray jsonQuote(QStringView text);
