#pragma once
// The JavaScript programs the workbench carries (compiled in as resources) and the
// common shape of a tool's outcome.

#include "engine/Variant.h"

#include <QList>
#include <QString>

namespace CarriedScripts {
QString beautifier();
QString unpacker();
QString minifier();
// The deobfuscator with its syntax-tree toolkit, bundled at build time (large: read on
// first use only).
QString deobfuscator();
// The console, the timers and the virtual clock of every context that runs the user's
// code (the body of a function of vexoHost; see ScriptRuntime).
QString environment();
} // namespace CarriedScripts

// A code tool either produces its text or says why it could not; the caller never gets
// an empty text in place of a failure.
struct ToolResult {
    bool ok = false;
    QString text;
    QString error; // the engine's description (or the thrown message) on failure

    static ToolResult success(QString text) { return {true, std::move(text), {}}; }
    static ToolResult failure(QString error) { return {false, {}, std::move(error)}; }
};

// Loads a carried script into an engine of its own on the script thread and calls one of
// its global functions. The result is code for an editor, so it is taken whole (never
// cut at the display cap); a result that is not a text fails with `notText`.
ToolResult callCarried(const QString& script, const QString& entry, const QList<Variant>& args,
                       const QString& notText);
