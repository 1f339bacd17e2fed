// Times a load of a one-line script with "浏览器环境" off, on, and on with "环境监控", as
// the workbench loads (fresh engine, environment, code, procedure list). The difference
// between on and off is the environment's start-up. Prints one "name ms" line per
// measurement: the median and the fastest of the runs, in wall time (what the user waits,
// which a busy machine stretches) and in the script thread's own processor time for the
// fresh engine with its environment (what the environment costs).
//   vexo-browser-start-bench [RUNS]

#include "browser/BrowserEnvironment.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ScriptEngine.h"
#include "script/ScriptSession.h"

#include <ctime>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
class NullLog : public LogSink {
public:
    void append(const QString&) override {}
};

void measure(const char* name, bool browser, bool monitor, int runs) {
    GlobalObjects globals;
    NullLog log;
    BrowserOptions options;
    options.enabled = browser;
    options.monitor = monitor;
    globals.mainHost().setEnvironment(
        browserEnvironment(options, monitor ? std::make_shared<AccessRecord>() : nullptr));
    std::vector<double> ms;
    std::vector<double> cpu;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        LoadCode(globals, QStringLiteral("var a = 1;"), log);
        ms.push_back(double(t.nsecsElapsed()) / 1e6);
        globals.mainHost().withEngine([&](ScriptEngine& engine) {
            timespec a{}, b{};
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
            engine.reset();
            clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
            cpu.push_back(double(b.tv_sec - a.tv_sec) * 1e3 + double(b.tv_nsec - a.tv_nsec) / 1e6);
        });
    }
    std::sort(ms.begin(), ms.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%s load median %.2f ms, fastest %.2f ms; fresh engine with environment: "
                "processor time median %.2f ms, fastest %.2f ms\n",
                name, ms[ms.size() / 2], ms.front(), cpu[cpu.size() / 2], cpu.front());
    globals.teardown();
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 50;
    measure("load, 浏览器环境 off:", false, false, runs);
    measure("load, 浏览器环境 on:", true, false, runs);
    measure("load, 浏览器环境 and 环境监控 on:", true, true, runs);
    ScriptThread::instance().shutdown();
    return 0;
}
