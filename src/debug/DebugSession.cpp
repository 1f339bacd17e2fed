#include "debug/DebugSession.h"

#include "debug/CallTrace.h"
#include "engine/InspectorLink.h"
#include "engine/InspectorSymbols.h"
#include "engine/JsHandle.h"
#include "engine/PauseWait.h"
#include "engine/ScriptThread.h"

#include <QJsonArray>
#include <QRandomGenerator>

#include <algorithm>
#include <map>

namespace {
constexpr int kAttachTimeoutMs = 5000;

QString sourceUrl(int source) {
    return QStringLiteral("vexo:code/%1").arg(source);
}

// The inspector's own id for a breakpoint set by address: "url:line:column".
QString breakpointId(const Breakpoint& b) {
    return QStringLiteral("%1:%2:0").arg(sourceUrl(b.source)).arg(b.line - 1);
}

QString contextName(JSGlobalContextRef context) {
    JsString name = JsString::adopt(JSGlobalContextCopyName(context));
    return name.toQString();
}
} // namespace

std::atomic<bool> DebugSession::s_entryNeeded{false};

struct DebugSession::State {
    mutable std::mutex mutex;
    // Settings (mutex).
    QList<Breakpoint> breakpoints;
    bool pauseOnExceptions = false;
    bool ignoreDebuggerStatements = true;
    QStringList traceNames;
    DebugListener* listener = nullptr;
    quint64 settingsSerial = 1;
    QString problem;
    // What the inspector thread reads (mutex).
    std::optional<quint64> target;
    std::map<int, std::pair<Breakpoint, QString>> probes;
    std::map<QString, int> scripts; // the engine's script ids of the added texts
    bool tracePausePending = false;
    JSGlobalContextRef tracedContext = nullptr;

    // Script thread only.
    QString token = QString::number(QRandomGenerator::system()->generate64(), 36);
    int attachSerial = 0;
    QString attachedName;
    quint64 appliedSerial = 0;
    QStringList appliedIds;
    int nextProbe = 0;
    CallTrace trace;

    bool wanted() const {
        return !breakpoints.isEmpty() || pauseOnExceptions || !traceNames.isEmpty();
    }
};

DebugSession& DebugSession::instance() {
    static DebugSession* session = new DebugSession; // the inspector thread outlives main
    return *session;
}

DebugSession::DebugSession() : d(std::make_unique<State>()) {
    InspectorLink::instance().setEventHandler(
        [this](quint64 target, const QString& method, const QJsonObject& params) {
            {
                std::lock_guard lock(d->mutex);
                if (d->target != target)
                    return; // a context that is gone
            }
            if (method == QLatin1String("Debugger.scriptParsed")) {
                const QString url = params.value(QLatin1String("url")).toString();
                if (url.startsWith(QLatin1String("vexo:code/"))) {
                    std::lock_guard lock(d->mutex);
                    d->scripts[params.value(QLatin1String("scriptId")).toString()] =
                        url.mid(10).toInt();
                }
            } else if (method == QLatin1String("Debugger.paused")) {
                onPaused(params);
            } else if (method == QLatin1String("Debugger.resumed")) {
                m_paused.store(false);
                PauseWait::setPaused(false);
                DebugListener* l = nullptr;
                {
                    std::lock_guard lock(d->mutex);
                    l = d->listener;
                }
                if (l)
                    l->resumed();
            } else if (method == QLatin1String("Debugger.didSampleProbe")) {
                onProbe(params.value(QLatin1String("sample")).toObject());
            }
        });
}

bool DebugSession::available(QString* why) const {
    const InspectorSymbols& symbols = InspectorSymbols::instance();
    if (!symbols.available() && why)
        *why = symbols.reason();
    return symbols.available();
}

void DebugSession::updateEntryNeeded() {
    // Also while still attached: the next entry takes the debugger off again.
    s_entryNeeded.store(d->wanted() || d->target.has_value() || !d->attachedName.isEmpty());
}

void DebugSession::setBreakpoints(const QList<Breakpoint>& breakpoints) {
    {
        std::lock_guard lock(d->mutex);
        if (d->breakpoints == breakpoints)
            return;
        d->breakpoints = breakpoints;
        ++d->settingsSerial;
        updateEntryNeeded();
    }
    // While the script is held its thread waits in the pause: the change applies at once.
    if (m_paused.load())
        apply();
}

QList<Breakpoint> DebugSession::breakpoints() const {
    std::lock_guard lock(d->mutex);
    return d->breakpoints;
}

void DebugSession::setPauseOnExceptions(bool on) {
    std::lock_guard lock(d->mutex);
    d->pauseOnExceptions = on;
    ++d->settingsSerial;
    updateEntryNeeded();
}

void DebugSession::setIgnoreDebuggerStatements(bool on) {
    std::lock_guard lock(d->mutex);
    d->ignoreDebuggerStatements = on;
    ++d->settingsSerial;
    updateEntryNeeded();
}

void DebugSession::setTraceNames(const QStringList& names) {
    std::lock_guard lock(d->mutex);
    d->traceNames = names;
    ++d->settingsSerial;
    updateEntryNeeded();
}

QStringList DebugSession::traceNames() const {
    std::lock_guard lock(d->mutex);
    return d->traceNames;
}

void DebugSession::setListener(DebugListener* listener) {
    std::lock_guard lock(d->mutex);
    d->listener = listener;
}

QString DebugSession::codeSuffix(int source) const {
    {
        std::lock_guard lock(d->mutex);
        if (std::none_of(d->breakpoints.cbegin(), d->breakpoints.cend(),
                         [source](const Breakpoint& b) { return b.source == source; }))
            return {};
    }
    // Breakpoints are set by URL before the text is parsed. Two kinds of text would never
    // reach them: one the engine runs as plain data (only assignments of literals, such as
    // "var a = 1;\nvar b = 2;") is never compiled nor reported to the debugger, and one
    // ending in its own "//# sourceURL=" is reported under that name. A last line with our
    // name is a comment to the script (its lines and columns stay as they are); the engine
    // compiles the text and takes the last such line as its name.
    return QStringLiteral("\n//# sourceURL=") + sourceUrl(source);
}

QString DebugSession::takeProblem() {
    std::lock_guard lock(d->mutex);
    return std::exchange(d->problem, QString());
}

void DebugSession::beforeEntry(JSGlobalContextRef context) {
    InspectorLink& link = InspectorLink::instance();
    bool wanted = false;
    quint64 serial = 0;
    std::optional<quint64> target;
    {
        std::lock_guard lock(d->mutex);
        wanted = d->wanted();
        serial = d->settingsSerial;
        target = d->target;
    }
    if (!wanted) {
        // The last breakpoint went: the engine runs without the debugger again.
        if (target) {
            link.call(*target, QStringLiteral("Debugger.disable"));
            link.detach(*target);
        }
        PauseWait::setPaused(false);
        std::lock_guard lock(d->mutex);
        d->target.reset();
        d->attachedName.clear();
        d->appliedSerial = 0;
        d->trace.forget();
        updateEntryNeeded();
        return;
    }
    QString why;
    if (!available(&why)) {
        std::lock_guard lock(d->mutex);
        d->problem = why;
        return;
    }
    if (d->attachedName.isEmpty() || contextName(context) != d->attachedName) {
        if (target) {
            link.detach(*target);
            std::lock_guard lock(d->mutex);
            d->target.reset();
        }
        // A name no other peer can guess: the connection is kept only with an engine that
        // lists it.
        d->attachedName = QStringLiteral("VexoJS·%1·%2").arg(d->token).arg(++d->attachSerial);
        JsString name(d->attachedName);
        JSGlobalContextSetName(context, name.get());
        JSGlobalContextSetInspectable(context, true);
        d->trace.forget();
        static bool waitMissingTold = false;
        if (!PauseWait::installed() && !std::exchange(waitMissingTold, true)) {
            std::lock_guard lock(d->mutex);
            d->problem =
                QStringLiteral("调试器：无法让暂停中的脚本线程等待，暂停期间它会占用一个CPU核心");
        }
        if (!link.open(d->attachedName, &why) ||
            !(target = link.attach(d->attachedName, kAttachTimeoutMs))) {
            std::lock_guard lock(d->mutex);
            d->problem =
                why.isEmpty() ? QStringLiteral("调试器不可用：脚本引擎没有列出当前脚本") : why;
            d->attachedName.clear();
            return;
        }
        {
            std::lock_guard lock(d->mutex);
            d->target = target;
            d->scripts.clear();
        }
        link.send(*target, QStringLiteral("Debugger.enable"));
        d->appliedSerial = 0;
    }
    if (d->appliedSerial != serial) {
        apply();
        d->appliedSerial = serial;
    }
    traceBeforeEntry(context);
}

void DebugSession::apply() {
    std::optional<quint64> target;
    QList<Breakpoint> breakpoints;
    bool pauseOnExceptions = false;
    bool ignore = true;
    {
        std::lock_guard lock(d->mutex);
        target = d->target;
        breakpoints = d->breakpoints;
        pauseOnExceptions = d->pauseOnExceptions;
        ignore = d->ignoreDebuggerStatements;
    }
    if (!target)
        return;
    InspectorLink& link = InspectorLink::instance();
    for (const QString& id : std::as_const(d->appliedIds))
        link.send(*target, QStringLiteral("Debugger.removeBreakpoint"),
                  {{QStringLiteral("breakpointId"), id}});
    d->appliedIds.clear();
    std::map<int, std::pair<Breakpoint, QString>> probes;
    link.send(*target, QStringLiteral("Debugger.setBreakpointsActive"),
              {{QStringLiteral("active"), true}});
    link.send(*target, QStringLiteral("Debugger.setPauseOnDebuggerStatements"),
              {{QStringLiteral("enabled"), !ignore}});
    link.send(*target, QStringLiteral("Debugger.setPauseOnExceptions"),
              {{QStringLiteral("state"),
                pauseOnExceptions ? QStringLiteral("uncaught") : QStringLiteral("none")}});
    for (const Breakpoint& b : std::as_const(breakpoints)) {
        QJsonObject options;
        if (!b.condition.isEmpty())
            options.insert(QStringLiteral("condition"), b.condition);
        QStringList reported;
        if (!b.logExpression.isEmpty())
            reported << b.logExpression;
        else if (b.scripted)
            reported = b.probes.isEmpty() ? QStringList{QString()} : b.probes;
        if (!reported.isEmpty()) {
            QJsonArray actions;
            for (const QString& expression : reported) {
                const int id = ++d->nextProbe;
                probes[id] = {b, expression};
                // A plain hit samples a constant.
                actions.append(
                    QJsonObject{{QStringLiteral("type"), QStringLiteral("probe")},
                                {QStringLiteral("data"),
                                 expression.isEmpty() ? QStringLiteral("0") : expression},
                                {QStringLiteral("id"), id}});
            }
            options.insert(QStringLiteral("actions"), actions);
            options.insert(QStringLiteral("autoContinue"), true);
        }
        link.send(*target, QStringLiteral("Debugger.setBreakpointByUrl"),
                  {{QStringLiteral("lineNumber"), b.line - 1},
                   {QStringLiteral("url"), sourceUrl(b.source)},
                   {QStringLiteral("options"), options}});
        d->appliedIds << breakpointId(b);
    }
    {
        std::lock_guard lock(d->mutex);
        d->probes = std::move(probes);
    }
    // Replies come in order: when this one is back, all of the above are in place.
    if (!link.onInspectorThread() && !m_paused.load())
        link.call(*target, QStringLiteral("Debugger.setBreakpointsActive"),
                  {{QStringLiteral("active"), true}});
}

void DebugSession::traceBeforeEntry(JSGlobalContextRef context) {
    const QStringList names = traceNames();
    if (names.isEmpty())
        return;
    // Functions the code defines appear only once it starts: those not there yet are
    // wrapped at the first statement of this entry.
    if (d->trace.wrap(context, names).isEmpty())
        return;
    std::optional<quint64> target;
    {
        std::lock_guard lock(d->mutex);
        d->tracePausePending = true;
        d->tracedContext = context;
        target = d->target;
    }
    if (target)
        InspectorLink::instance().call(*target, QStringLiteral("Debugger.pause"));
}

void DebugSession::onPaused(const QJsonObject& params) {
    PauseInfo info;
    info.reason = params.value(QLatin1String("reason")).toString();
    DebugListener* listener = nullptr;
    bool traceWrap = false;
    JSGlobalContextRef tracedContext = nullptr;
    {
        std::lock_guard lock(d->mutex);
        for (const QJsonValue& value : params.value(QLatin1String("callFrames")).toArray()) {
            const QJsonObject cf = value.toObject();
            const QJsonObject location = cf.value(QLatin1String("location")).toObject();
            CallFrame frame;
            frame.id = cf.value(QLatin1String("callFrameId")).toString();
            frame.functionName = cf.value(QLatin1String("functionName")).toString();
            const auto script =
                d->scripts.find(location.value(QLatin1String("scriptId")).toString());
            frame.source = script == d->scripts.end() ? 0 : script->second;
            frame.line = location.value(QLatin1String("lineNumber")).toInt() + 1;
            frame.column = location.value(QLatin1String("columnNumber")).toInt() + 1;
            for (const QJsonValue& s : cf.value(QLatin1String("scopeChain")).toArray()) {
                const QJsonObject scope = s.toObject();
                frame.scopes.append({scope.value(QLatin1String("type")).toString(),
                                     scope.value(QLatin1String("name")).toString(),
                                     scope.value(QLatin1String("object"))
                                         .toObject()
                                         .value(QLatin1String("objectId"))
                                         .toString()});
            }
            info.frames.append(frame);
        }
        listener = d->listener;
        traceWrap = std::exchange(d->tracePausePending, false);
        tracedContext = d->tracedContext;
    }
    if (info.reason == QLatin1String("exception"))
        info.exception = RemoteValue::fromJson(params.value(QLatin1String("data")).toObject());
    m_paused.store(true);
    PauseWait::setPaused(true);
    if (traceWrap && tracedContext) {
        // The script holds still with its definitions made: wrap what exists now.
        d->trace.wrap(tracedContext, traceNames());
        if (info.reason == QLatin1String("PauseOnNextStatement")) {
            resume();
            return;
        }
    }
    if (listener)
        listener->paused(info);
    else
        resume();
}

void DebugSession::onProbe(const QJsonObject& sample) {
    ProbeHit hit;
    DebugListener* listener = nullptr;
    {
        std::lock_guard lock(d->mutex);
        const auto it = d->probes.find(sample.value(QLatin1String("probeId")).toInt());
        if (it == d->probes.end())
            return;
        hit.breakpoint = it->second.first;
        hit.expression = it->second.second;
        listener = d->listener;
    }
    hit.value = RemoteValue::fromJson(sample.value(QLatin1String("payload")).toObject());
    if (listener)
        listener->probed(hit);
}

void DebugSession::command(const QString& method, const QJsonObject& params, bool wakes) {
    std::optional<quint64> target;
    {
        std::lock_guard lock(d->mutex);
        target = d->target;
    }
    if (!target)
        return;
    InspectorLink::Reply reply;
    if (wakes)
        reply = [](const QJsonObject&) { PauseWait::setPaused(false); };
    InspectorLink::instance().send(*target, method, params, std::move(reply));
}

void DebugSession::resume() {
    command(QStringLiteral("Debugger.resume"), {}, true);
}

void DebugSession::stepOver() {
    command(QStringLiteral("Debugger.stepOver"), {}, true);
}

void DebugSession::stepInto() {
    command(QStringLiteral("Debugger.stepInto"), {}, true);
}

void DebugSession::stepOut() {
    command(QStringLiteral("Debugger.stepOut"), {}, true);
}

void DebugSession::stop() {
    ScriptThread::instance().requestStop();
    command(QStringLiteral("Debugger.setBreakpointsActive"), {{QStringLiteral("active"), false}});
    command(QStringLiteral("Debugger.setPauseOnExceptions"),
            {{QStringLiteral("state"), QStringLiteral("none")}});
    command(QStringLiteral("Debugger.setPauseOnDebuggerStatements"),
            {{QStringLiteral("enabled"), false}});
    {
        // The next entry puts the settings back.
        std::lock_guard lock(d->mutex);
        ++d->settingsSerial;
        d->tracePausePending = false;
    }
    resume();
}

void DebugSession::evaluate(const QString& frameId, const QString& expression, ValueReply reply) {
    std::optional<quint64> target;
    {
        std::lock_guard lock(d->mutex);
        target = d->target;
    }
    if (!target) {
        reply(std::nullopt, false);
        return;
    }
    InspectorLink::instance().send(
        *target, QStringLiteral("Debugger.evaluateOnCallFrame"),
        {{QStringLiteral("callFrameId"), frameId},
         {QStringLiteral("expression"), expression},
         {QStringLiteral("objectGroup"), QStringLiteral("vexo")},
         {QStringLiteral("doNotPauseOnExceptionsAndMuteConsole"), true},
         {QStringLiteral("generatePreview"), true}},
        [reply](const QJsonObject& message) {
            const QJsonObject result = message.value(QLatin1String("result")).toObject();
            if (!result.contains(QLatin1String("result"))) {
                reply(std::nullopt, false);
                return;
            }
            reply(RemoteValue::fromJson(result.value(QLatin1String("result")).toObject()),
                  result.value(QLatin1String("wasThrown")).toBool());
        });
}

void DebugSession::properties(const QString& objectId, PropertiesReply reply) {
    std::optional<quint64> target;
    {
        std::lock_guard lock(d->mutex);
        target = d->target;
    }
    if (!target) {
        reply({});
        return;
    }
    InspectorLink::instance().send(
        *target, QStringLiteral("Runtime.getProperties"),
        {{QStringLiteral("objectId"), objectId},
         {QStringLiteral("ownProperties"), true},
         {QStringLiteral("generatePreview"), true}},
        [reply](const QJsonObject& message) {
            QList<Property> list;
            const QJsonArray items = message.value(QLatin1String("result"))
                                         .toObject()
                                         .value(QLatin1String("properties"))
                                         .toArray();
            for (const QJsonValue& item : items) {
                const QJsonObject p = item.toObject();
                Property property;
                property.name = p.value(QLatin1String("name")).toString();
                if (p.contains(QLatin1String("value")))
                    property.value =
                        RemoteValue::fromJson(p.value(QLatin1String("value")).toObject());
                else
                    property.value.description = QStringLiteral("(访问器)");
                list.append(property);
            }
            reply(list);
        });
}

void DebugSession::flush() {
    std::optional<quint64> target;
    bool ignore = true;
    {
        std::lock_guard lock(d->mutex);
        target = d->target;
        ignore = d->ignoreDebuggerStatements;
    }
    if (target && !InspectorLink::instance().onInspectorThread())
        InspectorLink::instance().call(*target,
                                       QStringLiteral("Debugger.setPauseOnDebuggerStatements"),
                                       {{QStringLiteral("enabled"), !ignore}});
}

QStringList DebugSession::takeTrace(qint64* dropped) {
    QString json;
    ScriptThread::instance().call([&] { json = d->trace.take(); });
    return CallTrace::treeLines(json, dropped);
}
