#pragma once
// The functions a loaded script defines at its top level, in the order of their
// definitions: the global object's functions, and the let / const bindings and classes
// that hold functions (which the global object does not carry). The order and how each
// is written come from the carried source reader (SourceScan) over the added texts;
// functions the texts do not name (set at run time) follow in the engine's order.
// Script thread only.

#include "script/ScriptError.h"

#include <JavaScriptCore/JavaScript.h>

#include <QList>
#include <QStringList>

QList<Procedure> scriptProcedures(JSGlobalContextRef ctx, const QStringList& sources);
