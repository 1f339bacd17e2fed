// The two routes to breakpoints side by side, for the decision record: the engine's own
// debugger through its remote inspector, and probes put into the source with the carried
// syntax-tree toolkit (bench/debug/instrument.js, not part of the product). Each run times
// the same job three ways, interleaved: plain, with one breakpoint elsewhere through the
// inspector, and instrumented with one breakpoint elsewhere in the probe table. The
// instrumenting itself (parse, insert, print in JavaScriptCore) is timed apart.
// Usage: vexo-instrument-bench [runs]

#include "Workloads.h"

#include "debug/DebugSession.h"
#include "engine/JsHandle.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"

#include <JavaScriptCore/JavaScript.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {
class NullLog : public LogSink {
public:
    void append(const QString&) override {}
};

double processCpuMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return double(ts.tv_sec) * 1e3 + double(ts.tv_nsec) / 1e6;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Instrumented {
    QString code;
    QList<int> lines; // the original line of each probe (probe n at index n - 1)
    double ms = 0;
};

// Runs the instrumenter in a context of its own.
class Instrumenter {
public:
    explicit Instrumenter(const QString& bundle)
        : m_context(JsGlobalContext::adopt(JSGlobalContextCreate(nullptr))) {
        JsString text(bundle);
        JSValueRef exception = nullptr;
        JSEvaluateScript(m_context.get(), text.get(), nullptr, nullptr, 1, &exception);
        m_ok = !exception;
    }
    bool ok() const { return m_ok; }

    QString call(const char* function, const QString& argument = {}) {
        JSContextRef c = m_context.get();
        JsString name(QString::fromLatin1(function));
        JSValueRef f = JSObjectGetProperty(c, JSContextGetGlobalObject(c), name.get(), nullptr);
        JSObjectRef fn = f ? JSValueToObject(c, f, nullptr) : nullptr;
        if (!fn || !JSObjectIsFunction(c, fn))
            return {};
        JsString arg(argument);
        JSValueRef args[] = {JSValueMakeString(c, arg.get())};
        JSValueRef exception = nullptr;
        JSValueRef r = JSObjectCallAsFunction(c, fn, nullptr, 1, args, &exception);
        if (exception || !r || !JSValueIsString(c, r)) {
            JsString message = JsString::adopt(
                JSValueToStringCopy(c, exception ? exception : JSValueMakeNull(c), nullptr));
            std::fprintf(stderr, "%s failed: %s\n", function, qPrintable(message.toQString()));
            return {};
        }
        JsString out = JsString::adopt(JSValueToStringCopy(c, r, nullptr));
        return out.toQString();
    }

    Instrumented instrument(const QString& source) {
        QElapsedTimer t;
        t.start();
        const QJsonObject o =
            QJsonDocument::fromJson(call("vexoInstrument", source).toUtf8()).object();
        Instrumented out;
        out.ms = double(t.nsecsElapsed()) / 1e6;
        out.code = o.value(QLatin1String("code")).toString();
        for (const QJsonValue& v : o.value(QLatin1String("lines")).toArray())
            out.lines << v.toInt();
        return out;
    }

private:
    JsGlobalContext m_context;
    bool m_ok = false;
};

struct Times {
    double wall = 0;
    double cpu = 0;
};

Times timeJob(GlobalObjects& g, const QStringList& sources, const QString& expression) {
    NullLog log;
    QElapsedTimer t;
    const double cpu = processCpuMs();
    t.start();
    LoadCode(g, sources, log);
    if (!expression.isEmpty())
        g.mainHost().Eval(expression);
    return {double(t.nsecsElapsed()) / 1e6, processCpuMs() - cpu};
}

struct Workload {
    const char* name;
    QString code;
    QString expression;
    int elsewhereLine;
};
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    QFile bundleFile(QStringLiteral(VEXO_INSTRUMENT_BUNDLE));
    if (!bundleFile.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", VEXO_INSTRUMENT_BUNDLE);
        return 1;
    }
    Instrumenter instrumenter(QString::fromUtf8(bundleFile.readAll()));
    if (!instrumenter.ok()) {
        std::fprintf(stderr, "the instrumenter does not load\n");
        return 1;
    }
    const QString runtime = instrumenter.call("vexoProbeRuntime");
    DebugSession& session = DebugSession::instance();
    GlobalObjects globals;
    const Workload workloads[] = {
        {"CPU-heavy script, work(3e7)", QString::fromUtf8(kCpuScript), QStringLiteral("work(3e7)"),
         kCpuElsewhereLine},
        {"1 MB library load", bigScript(), {}, kBigElsewhereLine},
    };
    std::printf("%-28s %-34s %10s %10s %7s\n", "job", "route", "wall ms", "CPU ms", "x CPU");
    for (const Workload& w : workloads) {
        std::vector<double> instrumentMs;
        Instrumented inst;
        for (int r = 0; r < runs; ++r) {
            inst = instrumenter.instrument(w.code);
            instrumentMs.push_back(inst.ms);
        }
        if (inst.code.isEmpty())
            return 1;
        // The probe of the statement on the chosen line is the one breakpoint set.
        const int probe = int(inst.lines.indexOf(w.elsewhereLine)) + 1;
        const QString table = QStringLiteral("__vexoBreaks[%1] = true;\n").arg(probe);
        Breakpoint elsewhere;
        elsewhere.line = w.elsewhereLine;
        std::vector<double> wall[3], cpu[3];
        for (int r = 0; r < runs; ++r) {
            for (int route = 0; route < 3; ++route) {
                session.setBreakpoints(route == 1 ? QList<Breakpoint>{elsewhere}
                                                  : QList<Breakpoint>{});
                // The probe runtime goes first: the instrumented text calls it at once.
                const QStringList sources =
                    route == 2 ? QStringList{runtime + table, inst.code} : QStringList{w.code};
                const Times t = timeJob(globals, sources, w.expression);
                wall[route].push_back(t.wall);
                cpu[route].push_back(t.cpu);
            }
        }
        session.setBreakpoints({});
        const char* routes[] = {"plain", "inspector, a breakpoint elsewhere",
                                "instrumented, a breakpoint elsewhere"};
        for (int route = 0; route < 3; ++route)
            std::printf("%-28s %-34s %10.1f %10.1f %7.2f\n", w.name, routes[route],
                        median(wall[route]), median(cpu[route]),
                        median(cpu[route]) / median(cpu[0]));
        std::printf("%-28s %-34s %10.1f   (%lld bytes → %lld, %lld probes)\n", w.name,
                    "instrumenting it", median(instrumentMs), qint64(w.code.size()),
                    qint64(inst.code.size()), qint64(inst.lines.size()));
    }
    globals.teardown();
    // Before the application object goes: the thread is ended through its event queue.
    ScriptThread::instance().shutdown();
    return 0;
}
