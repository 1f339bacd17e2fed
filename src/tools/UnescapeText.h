#pragma once
// "USC编码": the escapes of a JavaScript string literal (\uXXXX, \xXX, \n, ...) and then
// those of unescape() (%XX, %uXXXX), decoded by a fresh engine instance on the script
// thread.

#include "tools/CarriedScripts.h"

// Fails with the engine's message when the text holds a malformed escape (or the user
// stopped the engine).
ToolResult UnescapeText(const QString& text);

// The text as the body of a single-quoted literal: escape pairs stay as written; a bare
// quote, a line break and a final lone backslash are escaped so they stand for
// themselves instead of ending the literal.
QString quotedLiteralBody(const QString& text);
