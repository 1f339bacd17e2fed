#include "serve/CallRunner.h"

#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/StopWatch.h"
#include "script/ScriptEngine.h"
#include "serve/CallAnswer.h"
#include "serve/JsonText.h"

#include <vector>

namespace {
StopWatch* watchOf(ScriptEngine& engine) {
    return StopWatch::of(JSContextGetGroup(engine.context()));
}

ScriptError timeoutError(double seconds) {
    ScriptError error;
    error.number = ScriptError::Stopped;
    error.description = QStringLiteral("脚本运行超过时限（%1 秒），已被中止").arg(seconds);
    return error;
}

ScriptError notAFunction(const QString& name) {
    ScriptError error;
    error.number = ScriptError::Type;
    error.description = QStringLiteral("%1 is not a function").arg(name);
    return error;
}

// The function a request names and the object it is called on. A path of names is
// evaluated as script ("CryptoJS.MD5"), so functions bound with let or const are found
// too; any other name is a property of the global object.
struct Callee {
    JSObjectRef function = nullptr;
    JSObjectRef self = nullptr;
};

std::optional<Callee> findCallee(ScriptEngine& engine, const QString& name) {
    JSContextRef ctx = engine.context();
    JSValueRef owner = nullptr;
    JSValueRef value = nullptr;
    QString last = name;
    if (const auto path = functionPath(name)) {
        if (path->size() > 1) {
            owner = engine.evalValue(path->mid(0, path->size() - 1).join(QLatin1Char('.')));
            if (!owner)
                return std::nullopt;
            last = path->last();
        } else {
            value = engine.evalValue(name);
            if (!value)
                return std::nullopt;
        }
    } else {
        owner = JSContextGetGlobalObject(ctx);
    }
    Callee callee;
    if (owner) {
        JSObjectRef object =
            JSValueIsObject(ctx, owner) ? JSValueToObject(ctx, owner, nullptr) : nullptr;
        if (!object || !StopWatch::enter(ctx))
            return Callee{};
        value = scriptProperty(ctx, object, last);
        callee.self = object;
    }
    if (value && JSValueIsObject(ctx, value)) {
        JSObjectRef fn = JSValueToObject(ctx, value, nullptr);
        if (fn && JSObjectIsFunction(ctx, fn))
            callee.function = fn;
    }
    return callee;
}

// The "args" of the body, read by the engine's own JSON parser.
std::vector<JSValueRef> argumentsOf(JSContextRef ctx, const CallRequest& request) {
    std::vector<JSValueRef> args;
    if (!request.hasArgs)
        return args;
    const JsString text(QString::fromUtf8(request.body));
    JSValueRef body = JSValueMakeFromJSONString(ctx, text.get());
    JSObjectRef object = body ? JSValueToObject(ctx, body, nullptr) : nullptr;
    JSValueRef list = object ? jsGetProperty(ctx, object, QStringLiteral("args")) : nullptr;
    JSObjectRef array = list ? JSValueToObject(ctx, list, nullptr) : nullptr;
    if (!array)
        return args;
    const double length =
        JSValueToNumber(ctx, jsGetProperty(ctx, array, QStringLiteral("length")), nullptr);
    for (unsigned i = 0; i < unsigned(length); ++i)
        args.push_back(JSObjectGetPropertyAtIndex(ctx, array, i, nullptr));
    return args;
}

CallOutcome failed(const ScriptError& error) {
    return {errorAnswer(error), false};
}
} // namespace

CallOutcome runCall(ScriptEngine& engine, const CallRequest& request, double timeoutSeconds) {
    StopWatch* watch = watchOf(engine);
    watch->setDeadline(timeoutSeconds);
    auto timedOut = [&] { return watch->outcome() == StopWatch::Outcome::TimedOut; };
    JSContextRef ctx = engine.context();
    JSValueRef result = nullptr;
    if (request.kind == CallRequest::Eval) {
        result = engine.evalValue(request.expression);
    } else {
        const auto callee = findCallee(engine, request.function);
        if (!callee)
            return failed(timedOut() ? timeoutError(timeoutSeconds) : engine.error());
        if (!callee->function)
            return failed(timedOut() ? timeoutError(timeoutSeconds)
                                     : notAFunction(request.function));
        result = engine.callValue(callee->function, callee->self, argumentsOf(ctx, request));
    }
    if (timedOut())
        return failed(timeoutError(timeoutSeconds));
    if (!result)
        return failed(engine.error());
    QByteArray answer = valueAnswer(ctx, result);
    if (timedOut()) // a toJSON or a getter ran out of time
        return failed(timeoutError(timeoutSeconds));
    return {answer, true};
}

QByteArray functionListJson(ScriptEngine& engine) {
    QByteArray out = "[";
    bool first = true;
    for (const Procedure& p : engine.procedures()) {
        QStringList names = p.parameterNames.value_or(QStringList());
        // Built-in functions name no parameters: the list's own value1, value2, ...
        if (names.isEmpty())
            for (int i = 1; i <= p.numArgs; ++i)
                names << QStringLiteral("value%1").arg(i);
        if (!first)
            out += ',';
        first = false;
        out += "{\"name\":" + jsonQuote(p.name) + ",\"count\":" + QByteArray::number(p.numArgs) +
               ",\"parameters\":[";
        for (qsizetype i = 0; i < names.size(); ++i)
            out += (i ? "," : "") + jsonQuote(names[i]);
        out += "]}";
    }
    out += ']';
    return out;
}
