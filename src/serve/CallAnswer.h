#pragma once
// The answers of the call service, as JSON text: a value with the workbench's type name,
// or the engine's error. The value conversion runs on the engine's own thread.

#include "script/ScriptError.h"

#include <JavaScriptCore/JavaScript.h>

#include <QByteArray>

// {"ok": true, "type": "文本型", "value": …}. Objects and arrays go as their JSON;
// undefined as null (type 空); what JSON cannot hold (a function, a cyclic object, a
// BigInt, NaN, an invalid Date) as its text. Making the JSON may run script code (a
// toJSON, a getter), under the engine's stop check. Engine thread only.
QByteArray valueAnswer(JSContextRef ctx, JSValueRef value);

// {"ok": false, "error": {"number": 5009, "description": "…", "line": 3, "column": 7}}
QByteArray errorAnswer(const ScriptError& error);

// A body for a status other than 200: {"ok": false, "status": 400, "reason": "…"}.
QByteArray refusalAnswer(int status, const QString& reason);
