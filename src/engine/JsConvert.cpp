#include "engine/JsConvert.h"

#include "engine/JsHandle.h"
#include "engine/OleDate.h"
#include "engine/ScriptObject.h"
#include "engine/StopWatch.h"

#include <QDateTime>

#include <cmath>
#include <memory>
#include <vector>

namespace {
// The first `limit` UTF-16 units of a text longer than that. The engine's UTF-8 output
// reads its characters where they are, while asking for UTF-16 would first widen the
// whole of an 8-bit text.
QString headOf(JSStringRef text, qsizetype limit) {
    auto utf8Head = [&](size_t bytes) {
        std::vector<char> buffer(bytes + 1);
        const size_t written = JSStringGetUTF8CString(text, buffer.data(), buffer.size());
        return std::pair{QString::fromUtf8(buffer.data(), qsizetype(written > 0 ? written - 1 : 0)),
                         written > 0 ? written - 1 : 0};
    };
    // Plain ASCII needs one byte a unit; anything else at most three.
    auto [head, bytes] = utf8Head(size_t(limit));
    if (qsizetype(bytes) != head.size() || head.size() < limit)
        head = utf8Head(size_t(limit) * 3).first;
    if (head.size() < limit) {
        // The UTF-8 output stopped early at a lone surrogate, so the text is stored as
        // UTF-16 and its units can be read directly.
        head = QString(reinterpret_cast<const QChar*>(JSStringGetCharactersPtr(text)), limit + 1);
    }
    qsizetype keep = limit;
    if (head.size() > keep && head[keep - 1].isHighSurrogate() && head[keep].isLowSurrogate())
        --keep;
    head.truncate(keep);
    return head;
}

// "Symbol(description)", as String(symbol) writes it. Converting a symbol to text throws,
// so the text is made from the symbol's `description` (a script that redefined that
// getter sees its own answer; anything but a string counts as no description).
QString symbolText(JSContextRef ctx, JSValueRef symbol) {
    QString description;
    if (JSObjectRef wrapper = JSValueToObject(ctx, symbol, nullptr)) {
        JSValueRef value = scriptProperty(ctx, wrapper, QStringLiteral("description"));
        if (value && JSValueIsString(ctx, value))
            description = scriptText(ctx, value).value_or(QString());
    }
    return QStringLiteral("Symbol(") + description + QLatin1Char(')');
}
} // namespace

Variant variantFromJs(JSContextRef ctx, JSValueRef value, qsizetype textLimit) {
    if (!value)
        return {};
    switch (JSValueGetType(ctx, value)) {
    case kJSTypeUndefined:
        return {};
    case kJSTypeNull:
        return Variant::null();
    case kJSTypeBoolean:
        return Variant::fromBool(JSValueToBoolean(ctx, value));
    case kJSTypeNumber: {
        const double d = JSValueToNumber(ctx, value, nullptr);
        if (std::isfinite(d) && d == std::trunc(d) && d >= -2147483648.0 && d <= 2147483647.0 &&
            !(d == 0.0 && std::signbit(d)))
            return Variant::fromInt(qint32(d));
        return Variant::fromDouble(d);
    }
    case kJSTypeString:
        return Variant::fromString(scriptText(ctx, value, textLimit).value_or(QString()));
    case kJSTypeSymbol:
        return Variant::fromString(symbolText(ctx, value));
    case kJSTypeBigInt:
        // The decimal digits, exactly: a double would round anything past 2^53.
        return Variant::fromDecimal(jsValueToQString(ctx, value));
    case kJSTypeObject:
    default: {
        if (JSValueIsDate(ctx, value)) {
            if (!StopWatch::enter(ctx))
                return {}; // its number is asked of valueOf, which is script code
            const double ms = JSValueToNumber(ctx, value, nullptr);
            if (std::isnan(ms))
                return Variant::fromDate(ms); // an invalid Date: a date without a value
            const QDateTime local = QDateTime::fromMSecsSinceEpoch(qint64(ms));
            return Variant::fromDate(oleDateFromDateTime(local));
        }
        JSObjectRef object = JSValueToObject(ctx, value, nullptr);
        if (!object)
            return {};
        return Variant::fromObject(std::make_shared<ScriptObject>(ctx, object));
    }
    }
}

JSValueRef jsFromVariant(JSContextRef ctx, const Variant& value) {
    switch (value.vt()) {
    case Variant::Null:
        return JSValueMakeNull(ctx);
    case Variant::Bool:
        return JSValueMakeBoolean(ctx, value.boolValue());
    case Variant::I4:
        return JSValueMakeNumber(ctx, value.intValue());
    case Variant::R8:
        return JSValueMakeNumber(ctx, value.doubleValue());
    case Variant::BStr:
        return jsMakeString(ctx, value.stringValue());
    case Variant::Decimal: {
        JsString digits(value.stringValue());
        JSValueRef big = JSBigIntCreateWithString(ctx, digits.get(), nullptr);
        return big ? big : JSValueMakeUndefined(ctx);
    }
    case Variant::Date: {
        const double oleDate = value.doubleValue();
        if (std::isnan(oleDate)) {
            JSValueRef nan = JSValueMakeNumber(ctx, oleDate);
            return JSObjectMakeDate(ctx, 1, &nan, nullptr);
        }
        const auto dt = dateTimeFromOleDate(oleDate);
        if (!dt)
            return JSValueMakeUndefined(ctx);
        JSValueRef ms = JSValueMakeNumber(ctx, double(dt->toMSecsSinceEpoch()));
        return JSObjectMakeDate(ctx, 1, &ms, nullptr);
    }
    case Variant::Dispatch:
    case Variant::Unknown: {
        auto object = value.toObject();
        if (!object)
            return JSValueMakeNull(ctx);
        if (JSContextGetGroup(object->context()) == JSContextGetGroup(ctx))
            return object->object();
        // Values of one engine instance cannot live in another: hand over a copy of the
        // object's data instead.
        if (!StopWatch::enter(object->context()))
            return JSValueMakeUndefined(ctx);
        JSValueRef exception = nullptr;
        JSStringRef json =
            JSValueCreateJSONString(object->context(), object->object(), 0, &exception);
        if (!json || exception)
            return JSValueMakeUndefined(ctx);
        JsString owned = JsString::adopt(json);
        JSValueRef copy = JSValueMakeFromJSONString(ctx, owned.get());
        return copy ? copy : JSValueMakeUndefined(ctx);
    }
    default:
        return JSValueMakeUndefined(ctx);
    }
}

JSValueRef scriptProperty(JSContextRef ctx, JSObjectRef object, const QString& name) {
    if (!StopWatch::enter(ctx))
        return nullptr;
    return jsGetProperty(ctx, object, name);
}

std::optional<QString> scriptText(JSContextRef ctx, JSValueRef value, qsizetype limit) {
    if (!StopWatch::enter(ctx))
        return std::nullopt;
    JSValueRef exception = nullptr;
    JSStringRef copy = JSValueToStringCopy(ctx, value, &exception);
    if (!copy)
        return std::nullopt;
    const JsString text = JsString::adopt(copy);
    if (exception)
        return std::nullopt;
    const size_t length = JSStringGetLength(copy);
    if (limit < 0 || length <= size_t(limit))
        return text.toQString();
    return headOf(copy, limit) + QStringLiteral("…（共 %1 字符）").arg(length);
}

ThrownValue describeThrown(JSContextRef ctx, JSValueRef exception) {
    ThrownValue thrown;
    JSObjectRef object =
        JSValueIsObject(ctx, exception) ? JSValueToObject(ctx, exception, nullptr) : nullptr;
    JSValueRef errorConstructor =
        object ? jsGetProperty(ctx, JSContextGetGlobalObject(ctx), QStringLiteral("Error"))
               : nullptr;
    thrown.isError =
        errorConstructor && JSValueIsObject(ctx, errorConstructor) && StopWatch::enter(ctx) &&
        JSValueIsInstanceOfConstructor(ctx, exception,
                                       JSValueToObject(ctx, errorConstructor, nullptr), nullptr);
    if (!thrown.isError) {
        thrown.message = scriptText(ctx, exception).value_or(QString());
        return thrown;
    }
    auto text = [&](const char* key) {
        JSValueRef v = scriptProperty(ctx, object, QString::fromLatin1(key));
        return v && !JSValueIsUndefined(ctx, v) ? scriptText(ctx, v).value_or(QString())
                                                : QString();
    };
    thrown.name = text("name");
    thrown.message = text("message");
    return thrown;
}
