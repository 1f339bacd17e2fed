// What the debugger costs: scripts run without it, with one breakpoint elsewhere and with
// a trace; the script thread's CPU while held at a pause (with the pause wait and without
// it); the time from a pause to its locals and of a step in a 1 MB script.
// Usage: vexo-debug-bench [runs]

#include "Workloads.h"

#include "debug/DebugSession.h"
#include "engine/PauseWait.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ScriptSession.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTimer>

#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <future>
#include <mutex>

namespace {
class NullLog : public LogSink {
public:
    void append(const QString&) override {}
};

class Pauses : public DebugListener {
public:
    void paused(const PauseInfo& info) override {
        std::lock_guard lock(m);
        queue.push_back(info);
        cv.notify_all();
    }
    void probed(const ProbeHit&) override {}
    PauseInfo next() {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return !queue.empty(); });
        PauseInfo i = queue.front();
        queue.pop_front();
        return i;
    }
    std::mutex m;
    std::condition_variable cv;
    std::deque<PauseInfo> queue;
};

// CPU seconds of the thread named "script".
double scriptThreadCpu() {
    const long tick = sysconf(_SC_CLK_TCK);
    for (const QString& tid :
         QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(QStringLiteral("/proc/self/task/%1/comm").arg(tid));
        if (!comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "script")
            continue;
        QFile stat(QStringLiteral("/proc/self/task/%1/stat").arg(tid));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QList<QByteArray> f = stat.readAll().split(')').last().trimmed().split(' ');
        return (f.value(11).toDouble() + f.value(12).toDouble()) / double(tick);
    }
    return 0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double timeJob(GlobalObjects& g, const QString& code, const QString& expression) {
    NullLog log;
    QElapsedTimer t;
    t.start();
    LoadCode(g, code, log);
    if (!expression.isEmpty())
        g.mainHost().Eval(expression);
    return double(t.nsecsElapsed()) / 1e6;
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    DebugSession& session = DebugSession::instance();
    GlobalObjects globals;
    const QString big = bigScript();

    struct Setting {
        const char* name;
        QList<Breakpoint> breakpoints;
        QStringList trace;
    };
    Breakpoint elsewhere;
    elsewhere.line = kCpuElsewhereLine;
    Breakpoint bigElsewhere;
    bigElsewhere.line = kBigElsewhereLine;
    const Setting settings[] = {{"no debugger", {}, {}},
                                {"one breakpoint elsewhere", {elsewhere}, {}},
                                {"trace of never()", {}, {QStringLiteral("never")}}};
    for (const Setting& s : settings) {
        session.setBreakpoints(s.breakpoints);
        session.setTraceNames(s.trace);
        std::vector<double> cpu, load;
        for (int r = 0; r < runs; ++r) {
            cpu.push_back(
                timeJob(globals, QString::fromUtf8(kCpuScript), QStringLiteral("work(3e7)")));
            load.push_back(timeJob(globals, big, {}));
        }
        std::printf("%-26s  cpu script %7.1f ms   1 MB load %7.1f ms\n", s.name, median(cpu),
                    median(load));
    }
    session.setTraceNames({});

    // Held at a pause: the script thread's CPU over two seconds.
    Pauses pauses;
    session.setListener(&pauses);
    Breakpoint second;
    second.line = 2;
    session.setBreakpoints({second});
    // The main thread either sleeps (the command line) or runs its event loop, which holds
    // the process's default main context most of the time (the window).
    for (bool window : {false, true}) {
        for (bool wait : {true, false}) {
            NullLog log;
            auto job = std::async(std::launch::async, [&] {
                LoadCode(globals, QStringLiteral("function f() {}\nvar b = 2;\n"), log);
            });
            pauses.next();
            if (!wait)
                PauseWait::setPaused(false); // the engine's own loop, for comparison
            const double before = scriptThreadCpu();
            if (window) {
                QEventLoop loop;
                QTimer::singleShot(2000, &loop, &QEventLoop::quit);
                loop.exec();
            } else {
                usleep(2000000);
            }
            const double used = scriptThreadCpu() - before;
            session.resume();
            job.wait();
            std::printf(
                "paused 2 s, main thread %-11s %-20s script thread CPU %6.0f ms per second\n",
                window ? "in its loop," : "asleep,",
                wait ? "with the pause wait:" : "engine's own loop:", used * 1000.0 / 2.0);
        }
    }

    // Pause to locals, and a step, in the 1 MB script.
    session.setBreakpoints({[&] {
        Breakpoint b;
        b.line = int(big.count(QLatin1Char('\n'))) - 1; // "t += f1(k);"
        return b;
    }()});
    NullLog log;
    auto job = std::async(std::launch::async, [&] { LoadCode(globals, big, log); });
    std::vector<double> locals, steps;
    for (int r = 0; r < 20; ++r) {
        PauseInfo p = pauses.next();
        QElapsedTimer t;
        t.start();
        std::promise<void> got;
        session.properties(p.frames.first().scopes.first().objectId,
                           [&](const QList<Property>&) { got.set_value(); });
        got.get_future().wait();
        locals.push_back(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        session.stepOver();
        p = pauses.next();
        steps.push_back(double(t.nsecsElapsed()) / 1e6);
        session.resume();
    }
    session.setBreakpoints({});
    for (int r = 0;
         r < 200 && job.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready; ++r)
        if (!pauses.queue.empty()) {
            pauses.next();
            session.resume();
        }
    job.wait();
    std::printf("1 MB script: pause to locals %.1f ms (median of 20), step over %.1f ms\n",
                median(locals), median(steps));
    session.setListener(nullptr);
    globals.teardown();
    // Before the application object goes: the thread is ended through its event queue.
    ScriptThread::instance().shutdown();
    return 0;
}
