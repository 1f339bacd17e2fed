#include "serve/CallAnswer.h"

#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/StopWatch.h"
#include "engine/Variant.h"
#include "script/ResultKind.h"
#include "serve/JsonText.h"

#include <cmath>

namespace {
// The workbench's type of the value, as variantFromJs and ResultKind name it; objects are
// classified without making the protected object reference a result would hold.
int kindOf(JSContextRef ctx, JSValueRef value) {
    if (JSValueIsObject(ctx, value))
        return ResultKind(JSValueIsDate(ctx, value) ? Variant::Date : Variant::Dispatch);
    return ResultKind(variantFromJs(ctx, value, kWholeText).vt());
}

// The value's text where JSON has no form for it.
QString textOf(JSContextRef ctx, JSValueRef value) {
    if (JSValueIsObject(ctx, value))
        return scriptText(ctx, value, kWholeText).value_or(QString());
    return variantFromJs(ctx, value, kWholeText).toText();
}

// The value's JSON text, or nothing when JSON cannot hold it.
std::optional<QByteArray> jsonOf(JSContextRef ctx, JSValueRef value) {
    if (JSValueIsNumber(ctx, value) && !std::isfinite(JSValueToNumber(ctx, value, nullptr)))
        return std::nullopt; // JSON would write null
    if (JSValueIsDate(ctx, value) && !StopWatch::enter(ctx))
        return std::nullopt;
    if (JSValueIsDate(ctx, value) && std::isnan(JSValueToNumber(ctx, value, nullptr)))
        return std::nullopt;
    if (!StopWatch::enter(ctx))
        return std::nullopt;
    JSValueRef exception = nullptr;
    JSStringRef json = JSValueCreateJSONString(ctx, value, 0, &exception);
    if (!json)
        return std::nullopt; // undefined, a function or a symbol; or it threw
    const JsString owned = JsString::adopt(json);
    if (exception)
        return std::nullopt;
    // Well-formed JSON: lone surrogates are already written as escapes.
    return owned.toQString().toUtf8();
}
} // namespace

QByteArray valueAnswer(JSContextRef ctx, JSValueRef value) {
    QByteArray out = QByteArrayLiteral("{\"ok\":true,\"type\":");
    out += jsonQuote(ResultTypeName(kindOf(ctx, value)));
    out += QByteArrayLiteral(",\"value\":");
    if (JSValueIsUndefined(ctx, value)) {
        out += QByteArrayLiteral("null");
    } else if (auto json = jsonOf(ctx, value)) {
        out += *json;
    } else {
        out += jsonQuote(textOf(ctx, value));
    }
    out += '}';
    return out;
}

QByteArray errorAnswer(const ScriptError& error) {
    QByteArray out = QByteArrayLiteral("{\"ok\":false,\"error\":{\"number\":");
    out += QByteArray::number(error.number);
    out += QByteArrayLiteral(",\"description\":");
    out += jsonQuote(error.description);
    out += QByteArrayLiteral(",\"line\":");
    out += QByteArray::number(error.line);
    out += QByteArrayLiteral(",\"column\":");
    out += QByteArray::number(error.column);
    if (!error.text.isEmpty()) {
        out += QByteArrayLiteral(",\"text\":");
        out += jsonQuote(error.text);
    }
    out += QByteArrayLiteral("}}");
    return out;
}

QByteArray refusalAnswer(int status, const QString& reason) {
    return QByteArrayLiteral("{\"ok\":false,\"status\":") + QByteArray::number(status) +
           QByteArrayLiteral(",\"reason\":") + jsonQuote(reason) + '}';
}
