#pragma once
// Minifies a script with the carried minifier, in an engine instance of its own.

#include "tools/CarriedScripts.h"

#include <QByteArray>

ToolResult MinifyScript(const QString& source);
// The minified code usually starts with an empty line; it goes, and only when empty.
QString dropEmptyFirstLine(const QString& minified);
