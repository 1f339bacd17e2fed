#pragma once
// Values across the engine boundary. Script thread only.

#include "engine/Variant.h"

#include <JavaScriptCore/JavaScript.h>

#include <QString>

#include <optional>

// Most characters of one text taken over from the engine. A longer text is cut there,
// before it is copied, so that a huge string result costs the host no more than this.
constexpr qsizetype kConvertedTextLimit = 16 * 1024 * 1024;

// undefined → empty, null → null, booleans, numbers (I4 when integral and 32-bit,
// else R8), strings, Date → date in local time (an invalid Date → a date whose value is
// NaN), symbols → their "Symbol(description)" text, BigInt → a decimal with its exact
// digits, every other object → object.
// A string longer than textLimit is cut as scriptText cuts it; the tools, whose result
// is code for an editor, take their texts whole (kWholeText).
constexpr qsizetype kWholeText = -1;
Variant variantFromJs(JSContextRef ctx, JSValueRef value,
                      qsizetype textLimit = kConvertedTextLimit);
JSValueRef jsFromVariant(JSContextRef ctx, const Variant& value);

// The script thread's reads of values that may run script code; each passes
// StopWatch::enter first, so none starts once the user has stopped the job.
// A property read; nullptr when it throws or the job was stopped.
JSValueRef scriptProperty(JSContextRef ctx, JSObjectRef object, const QString& name);
// String(value); nullopt when that throws or the job was stopped. A text longer than
// kConvertedTextLimit keeps its first kConvertedTextLimit characters (a surrogate pair is
// never split) followed by "…（共 N 字符）".
std::optional<QString> scriptText(JSContextRef ctx, JSValueRef value,
                                  qsizetype limit = kConvertedTextLimit);

// What a thrown value says. For an Error (instanceof the context's Error): its name and
// message; for anything else the value as text in message. Reading them runs script code
// (getters, toString), each read behind the entry guard; what a stopped read leaves is
// empty.
struct ThrownValue {
    bool isError = false;
    QString name;
    QString message;
};
ThrownValue describeThrown(JSContextRef ctx, JSValueRef exception);
