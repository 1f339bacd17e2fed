#include "debug/CallTrace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// The recorder: one closure per context, reachable only from here.
const char* const kRecorder = R"JS((function (limit) {
    "use strict";
    var calls = [], dropped = 0, depth = 0, wrapped = Object.create(null);
    var toText = Object.prototype.toString, apply = Reflect.apply, construct = Reflect.construct;
    function describe(v) {
        try {
            switch (typeof v) {
            case "string": return JSON.stringify(v.length > 200 ? v.slice(0, 200) + "…" : v);
            case "function": return "function " + (v.name || "");
            case "symbol": return v.toString();
            case "bigint": return v + "n";
            case "object":
                if (v === null) return "null";
                if (Array.isArray(v)) return "Array(" + v.length + ")";
                if (v instanceof Error) return v.name + ": " + v.message;
                return toText.call(v).slice(8, -1);
            default: return String(v);
            }
        } catch (e) { return "?"; }
    }
    function record(name, args) {
        if (calls.length >= limit) { ++dropped; return null; }
        var r = { n: name, a: Array.prototype.map.call(args, describe), d: depth };
        calls.push(r);
        return r;
    }
    function run(name, call, args) {
        var r = record(name, args);
        ++depth;
        try {
            var value = call();
            if (r) r.r = describe(value);
            return value;
        } catch (e) {
            if (r) r.t = describe(e);
            throw e;
        } finally { --depth; }
    }
    function wrap(path) {
        if (wrapped[path]) return true;
        var parts = path.split("."), owner = globalThis;
        for (var i = 0; i < parts.length - 1; ++i) {
            owner = owner == null ? undefined : owner[parts[i]];
        }
        var key = parts[parts.length - 1];
        var f = owner == null ? undefined : owner[key];
        if (typeof f !== "function") return false;
        owner[key] = new Proxy(f, {
            apply: function (target, self, args) {
                return run(path, function () { return apply(target, self, args); }, args);
            },
            construct: function (target, args, newTarget) {
                return run("new " + path, function () { return construct(target, args, newTarget); }, args);
            }
        });
        wrapped[path] = true;
        return true;
    }
    return {
        wrap: function (names) { return names.filter(function (n) { return !wrap(n); }); },
        take: function () {
            var out = JSON.stringify({ calls: calls, dropped: dropped });
            calls = []; dropped = 0;
            return out;
        }
    };
}))JS";

JSValueRef callMember(JSContextRef ctx, JSObjectRef object, const char* name,
                      std::initializer_list<JSValueRef> args) {
    JsString key(name);
    JSValueRef fn = JSObjectGetProperty(ctx, object, key.get(), nullptr);
    JSObjectRef function =
        fn && JSValueIsObject(ctx, fn) ? JSValueToObject(ctx, fn, nullptr) : nullptr;
    if (!function)
        return nullptr;
    JSValueRef exception = nullptr;
    JSValueRef result =
        JSObjectCallAsFunction(ctx, function, object, args.size(), std::data(args), &exception);
    return exception ? nullptr : result;
}
} // namespace

void CallTrace::forget() {
    m_recorder.reset();
}

QStringList CallTrace::wrap(JSGlobalContextRef context, const QStringList& names) {
    if (!m_recorder || context != this->context()) {
        forget();
        JsString script(QString::fromUtf8(kRecorder));
        JSValueRef exception = nullptr;
        JSValueRef factory =
            JSEvaluateScript(context, script.get(), nullptr, nullptr, 1, &exception);
        JSObjectRef make = factory && JSValueIsObject(context, factory)
                               ? JSValueToObject(context, factory, nullptr)
                               : nullptr;
        JSValueRef limit = JSValueMakeNumber(context, kKeptCalls);
        JSValueRef recorder =
            make ? JSObjectCallAsFunction(context, make, nullptr, 1, &limit, &exception) : nullptr;
        if (!recorder || !JSValueIsObject(context, recorder))
            return names;
        m_recorder = JsProtected(context, recorder);
    }
    std::vector<JSValueRef> items;
    for (const QString& n : names)
        items.push_back(jsMakeString(context, n));
    JSObjectRef list = JSObjectMakeArray(context, items.size(), items.data(), nullptr);
    JSValueRef missing = callMember(context, recorder(), "wrap", {list});
    if (!missing)
        return names;
    JsString json = JsString::adopt(JSValueCreateJSONString(context, missing, 0, nullptr));
    QStringList out;
    for (const QJsonValue& v : QJsonDocument::fromJson(json.toQString().toUtf8()).array())
        out << v.toString();
    return out;
}

QString CallTrace::take() {
    if (!m_recorder)
        return {};
    JSValueRef text = callMember(context(), recorder(), "take", {});
    if (!text || !JSValueIsString(context(), text))
        return {};
    return jsValueToQString(context(), text);
}

QStringList CallTrace::treeLines(const QString& json, qint64* dropped) {
    const QJsonObject all = QJsonDocument::fromJson(json.toUtf8()).object();
    if (dropped)
        *dropped = qint64(all.value(QLatin1String("dropped")).toDouble());
    QStringList lines;
    for (const QJsonValue& v : all.value(QLatin1String("calls")).toArray()) {
        const QJsonObject call = v.toObject();
        QStringList args;
        for (const QJsonValue& a : call.value(QLatin1String("a")).toArray())
            args << a.toString();
        QString line = QString(call.value(QLatin1String("d")).toInt() * 2, QLatin1Char(' ')) +
                       call.value(QLatin1String("n")).toString() + QLatin1Char('(') +
                       args.join(QStringLiteral(", ")) + QLatin1Char(')');
        if (call.contains(QLatin1String("t")))
            line += QStringLiteral(" 抛出 ") + call.value(QLatin1String("t")).toString();
        else if (call.contains(QLatin1String("r")))
            line += QStringLiteral(" → ") + call.value(QLatin1String("r")).toString();
        lines << line;
    }
    return lines;
}
