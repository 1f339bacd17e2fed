#include "script/ScriptEngine.h"

#include "debug/DebugSession.h"
#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/ScriptRuntime.h"
#include "engine/ScriptThread.h"
#include "script/BasicEnvironment.h"
#include "script/ScriptProcedures.h"

#include <QRegularExpression>

#include <algorithm>
#include <vector>

namespace {
const QString kEvalUrl = QStringLiteral("vexo:eval");
} // namespace

ScriptEngine::ScriptEngine(const QString& progId) {
    const bool known =
        progId.compare(QLatin1String("scriptcontrol"), Qt::CaseInsensitive) == 0 ||
        progId.compare(QLatin1String("MSScriptControl.ScriptControl"), Qt::CaseInsensitive) == 0;
    if (!known)
        return;
    m_engine = std::make_unique<EngineContext>();
    nameContext();
    prepareContext();
}

ScriptEngine::~ScriptEngine() {
    m_runtime.reset(); // before the context it belongs to
}

void ScriptEngine::prepareContext() {
    m_setupError.reset();
    m_runtime = std::make_unique<ScriptRuntime>(m_context, m_output, m_fixed);
    Environment parts{std::make_shared<BasicEnvironment>()};
    parts += m_parts;
    JSValueRef exception = m_runtime->install(parts);
    if (!exception && !stopRequested())
        return;
    if (exception)
        setError(exception);
    else
        setStopped();
    m_setupError = m_error;
    clearError();
}

void ScriptEngine::nameContext() {
    m_context = m_engine->context();
    JsString name("VexoJS");
    JSGlobalContextSetName(m_context, name.get());
}

void ScriptEngine::forgetSources() {
    m_codeUrls.clear();
    m_sources.clear();
}

bool ScriptEngine::setLanguage(const QString& language) {
    if (!isValid())
        return false;
    if (language.compare(QLatin1String("JScript"), Qt::CaseInsensitive) != 0 &&
        language.compare(QLatin1String("JavaScript"), Qt::CaseInsensitive) != 0)
        return false;
    m_language = language;
    return true;
}

bool ScriptEngine::reset() {
    if (!isValid())
        return false;
    clearError();
    forgetSources();
    m_runtime.reset();
    JSClassRef globalClass = nullptr;
    for (const auto& part : m_parts)
        if (!globalClass)
            globalClass = part->globalClass();
    m_engine->resetGlobal(globalClass);
    nameContext();
    prepareContext();
    return true;
}

void ScriptEngine::setStopped() {
    m_error = ScriptError();
    m_error.number = ScriptError::Stopped;
    m_error.description = QStringLiteral("脚本运行已被用户中止");
}

bool ScriptEngine::beginCall() {
    clearError();
    if (m_debuggable && DebugSession::entryNeeded())
        DebugSession::instance().beforeEntry(m_context);
    if (!enter(m_context)) {
        setStopped(); // the rest of a job the user has stopped does not start
        return false;
    }
    return true;
}

Variant ScriptEngine::resultOf(JSValueRef value) {
    // Making the result can run script code too (a Date's valueOf, a symbol's description):
    // a stop there leaves no value, only the stop.
    Variant result = variantFromJs(m_context, value, m_resultTextLimit);
    if (stopRequested()) {
        setStopped();
        return {};
    }
    return result;
}

bool ScriptEngine::stopRequested() const {
    return m_engine->watch()->stopRequested();
}

JSValueRef ScriptEngine::runScript(const QString& text, const QString& url, JSValueRef* exception) {
    const JsString script(text);
    const JsString source(url);
    *exception = nullptr;
    return JSEvaluateScript(m_context, script.get(), nullptr, source.get(), 1, exception);
}

JSValueRef ScriptEngine::evaluateValue(const QString& text, const QString& url) {
    if (!beginCall())
        return nullptr;
    JSValueRef exception = nullptr;
    JSValueRef result = runScript(text, url, &exception);
    return finishValue(result, exception);
}

Variant ScriptEngine::evaluate(const QString& text, const QString& url) {
    if (!beginCall())
        return {};
    JSValueRef exception = nullptr;
    JSValueRef result = runScript(text, url, &exception);
    return finishCall(result, exception);
}

bool ScriptEngine::settleJob() {
    // The engine runs the promise jobs when a call returns: a stop in one of them leaves
    // no exception, only the stopped job.
    const bool stopped =
        m_error.number == ScriptError::Stopped || !m_runtime || !m_runtime->runTimers();
    if (!stopped)
        return true;
    // What the stopped code had set up would only run into the same stop next time.
    if (m_runtime)
        m_runtime->loop().clearAll();
    setStopped();
    m_engine->settleStop();
    return false;
}

Variant ScriptEngine::finishCall(JSValueRef value, JSValueRef exception) {
    Variant result;
    if (exception)
        setError(exception);
    else
        result = resultOf(value); // the value as the call left it, before its timers
    return settleJob() ? result : Variant();
}

JSValueRef ScriptEngine::finishValue(JSValueRef value, JSValueRef exception) {
    if (exception) {
        setError(exception);
        value = nullptr;
    }
    return settleJob() ? value : nullptr;
}

double ScriptEngine::addCode(const QString& code) {
    if (!isValid())
        return 0.0;
    const QString url = QStringLiteral("vexo:code/%1").arg(m_codeUrls.size() + 1);
    m_codeUrls.append(url);
    m_sources.insert(url, code);
    if (m_setupError) {
        // The environment failed before the user's code: that is what the load reports.
        m_error = *std::exchange(m_setupError, std::nullopt);
        return 0.0;
    }
    // The debugger may need a last comment line; error lines keep quoting the text as given.
    if (m_debuggable && DebugSession::entryNeeded())
        evaluate(code + DebugSession::instance().codeSuffix(int(m_codeUrls.size())), url);
    else
        evaluate(code, url);
    return 0.0;
}

Variant ScriptEngine::eval(const QString& expression) {
    if (!isValid())
        return {};
    // Only the latest expression is kept for error lines.
    m_sources.insert(kEvalUrl, expression);
    return evaluate(expression, kEvalUrl);
}

JSValueRef ScriptEngine::evalValue(const QString& expression) {
    if (!isValid())
        return nullptr;
    m_sources.insert(kEvalUrl, expression);
    return evaluateValue(expression, kEvalUrl);
}

Variant ScriptEngine::run(const QString& name, const QList<Variant>& args) {
    if (!isValid() || !beginCall())
        return {};
    JSObjectRef global = JSContextGetGlobalObject(m_context);
    JsString key(name);
    JSValueRef exception = nullptr;
    JSValueRef fn = JSObjectGetProperty(m_context, global, key.get(), &exception);
    if (!exception && JSValueIsUndefined(m_context, fn)) {
        // Functions bound with let/const are not properties of the global object.
        static const QRegularExpression identifier(QStringLiteral("^[\\p{L}_$][\\p{L}\\p{N}_$]*$"));
        if (identifier.match(name).hasMatch() && enter(m_context)) {
            JsString script(name);
            fn = JSEvaluateScript(m_context, script.get(), nullptr, nullptr, 1, &exception);
        }
    }
    if (exception) {
        setError(exception);
        return {};
    }
    JSObjectRef function = JSValueToObject(m_context, fn, nullptr);
    if (!function || !JSObjectIsFunction(m_context, function)) {
        m_error.number = ScriptError::Type;
        m_error.description = QStringLiteral("%1 is not a function").arg(name);
        return {};
    }
    std::vector<JSValueRef> jsArgs;
    jsArgs.reserve(size_t(args.size()));
    for (const Variant& a : args)
        jsArgs.push_back(jsFromVariant(m_context, a));
    if (!enter(m_context)) {
        setStopped();
        return {};
    }
    JSValueRef result = JSObjectCallAsFunction(m_context, function, nullptr, jsArgs.size(),
                                               jsArgs.data(), &exception);
    return finishCall(result, exception);
}

JSValueRef ScriptEngine::callValue(JSObjectRef function, JSObjectRef thisObject,
                                   const std::vector<JSValueRef>& args) {
    if (!isValid() || !beginCall())
        return nullptr;
    JSValueRef exception = nullptr;
    JSValueRef result = JSObjectCallAsFunction(m_context, function, thisObject, args.size(),
                                               args.data(), &exception);
    return finishValue(result, exception);
}

bool ScriptEngine::addObject(const QString& name, const Variant& object, bool) {
    if (!isValid() || !object.toObject() || !enter(m_context))
        return false; // a setter on the global object is script code
    JsString key(name);
    JSValueRef exception = nullptr;
    JSObjectSetProperty(m_context, JSContextGetGlobalObject(m_context), key.get(),
                        jsFromVariant(m_context, object), kJSPropertyAttributeDontEnum, &exception);
    return exception == nullptr;
}

void ScriptEngine::setError(JSValueRef exception) {
    m_error = ScriptError();
    if (stopRequested()) {
        setStopped(); // ended by the stop check
        return;
    }
    JSObjectRef object = JSValueIsObject(m_context, exception)
                             ? JSValueToObject(m_context, exception, nullptr)
                             : nullptr;
    if (!object) {
        m_error.number = ScriptError::Thrown;
        m_error.description = scriptText(m_context, exception).value_or(QString());
        return;
    }
    // The thrown object's getters, its toString and Error's instanceof test are script
    // code: each read is a fresh entry, and a stop during one of them ends the report.
    auto text = [&](const char* key) {
        JSValueRef v = scriptProperty(m_context, object, QString::fromLatin1(key));
        return v && !JSValueIsUndefined(m_context, v) ? scriptText(m_context, v).value_or(QString())
                                                      : QString();
    };
    auto number = [&](const char* key) {
        JSValueRef v = scriptProperty(m_context, object, QString::fromLatin1(key));
        return v && JSValueIsNumber(m_context, v) ? int(JSValueToNumber(m_context, v, nullptr)) : 0;
    };
    const ThrownValue thrown = describeThrown(m_context, exception);
    m_error.number =
        thrown.isError ? ScriptError::numberFor(thrown.name, thrown.message) : ScriptError::Thrown;
    m_error.description = thrown.message;
    m_error.line = number("line");
    m_error.column = number("column");
    const QString url = text("sourceURL");
    m_error.inCode = m_codeUrls.contains(url);
    if (m_error.inCode) {
        // Under the debugger the text ran with one more comment line: an error reported
        // there (a text that ends too early) belongs to the end of the text as given.
        const QString source = m_sources.value(url);
        const int lines = int(source.count(QLatin1Char('\n'))) + 1;
        if (m_error.line > lines) {
            m_error.line = lines;
            m_error.column = 0;
        }
    }
    m_error.text = sourceLine(url, m_error.line);
    if (stopRequested())
        setStopped(); // stopped while the error was being read
}

QString ScriptEngine::sourceLine(const QString& url, int line) const {
    const auto it = m_sources.constFind(url);
    const QString source = it != m_sources.constEnd() ? *it
                           : m_runtime                ? m_runtime->source(url)
                                                      : QString();
    if (source.isEmpty() || line < 1)
        return {};
    qsizetype start = 0;
    for (int l = 1; l < line; ++l) {
        const qsizetype nl = source.indexOf(QLatin1Char('\n'), start);
        if (nl < 0)
            return {};
        start = nl + 1;
    }
    qsizetype end = source.indexOf(QLatin1Char('\n'), start);
    if (end < 0)
        end = source.size();
    if (end > start && source[end - 1] == QLatin1Char('\r'))
        --end;
    return source.mid(start, end - start);
}

QList<Procedure> ScriptEngine::procedures() const {
    if (!isValid())
        return {};
    QStringList sources;
    for (const QString& url : m_codeUrls)
        sources << m_sources.value(url);
    return scriptProcedures(m_context, sources);
}
