#pragma once
// Values across the engine boundary. Script thread only.

#include "script/Variant.h"

#include <JavaScriptCore/JavaScript.h>

// undefined → empty, null → null, booleans, numbers (I4 when integral and 32-bit,
// else R8), strings, Date → date in local time (an invalid Date → a date whose value is
// NaN), symbols → their "Symbol(description)" text, BigInt → a decimal with its exact
// digits, every other object → object.
Variant variantFromJs(JSContextRef ctx, JSValueRef value);
JSValueRef jsFromVariant(JSContextRef ctx, const Variant& value);
