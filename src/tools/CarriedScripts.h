#pragma once
// The JavaScript programs the workbench carries (compiled in as resources) and the
// way the tools call them.

#include "engine/ToolResult.h"
#include "engine/Variant.h"

#include <QList>
#include <QString>

namespace CarriedScripts {
QString beautifier();
QString unpacker();
QString minifier();
// The function list's declaration scan and the inspector's parameter names.
QString sourceScan();
// The deobfuscator with its syntax-tree toolkit, bundled at build time (large: read on
// first use only).
QString deobfuscator();
// The console, the timers and the virtual clock of every context that runs the user's
// code (the body of a function of vexoHost; see ScriptRuntime).
QString environment();
} // namespace CarriedScripts

// Loads a carried script into an engine of its own on the script thread and calls one of
// its global functions. The result is code for an editor, so it is taken whole (never
// cut at the display cap); a result that is not a text fails with `notText`.
ToolResult callCarried(const QString& script, const QString& entry, const QList<Variant>& args,
                       const QString& notText);
