#pragma once
// Lays a script out with the carried beautifier, in an engine instance of its own.

#include "tools/CarriedScripts.h"

// The beautifier returns lines joined by LF, each after the first indented by four
// extra spaces; every LF + four spaces becomes CR LF, which leaves CR LF line ends and
// the true indentation.
ToolResult FormatScript(const QString& source);
// The line-break fix-up alone.
QString fixLineBreaks(QString formatted);
