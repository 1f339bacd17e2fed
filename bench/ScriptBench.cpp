// Times the script host the way the workbench uses it: load a script (fresh engine,
// AddCode, procedure list), fill the function list, and one small evaluation round trip
// through the script thread; with a third script (a library), its load and its function
// list on their own; the 5 MB load twice (the second as "加载代码" pressed again). Prints one "name
// ms" line per measurement.

#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

#include <sys/resource.h>

namespace {
class NullLog : public LogSink {
public:
    void append(const QString&) override {}
};

QString readAll(const char* path) {
    QFile f(QString::fromLocal8Bit(path));
    if (!f.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", path);
        std::exit(2);
    }
    return QString::fromUtf8(f.readAll());
}
// CPU time of the whole process (every thread: the engine's compilers and collector too)
// in ms; on a loaded machine it spreads far less than the wall time.
double processCpuMs() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return (u.ru_utime.tv_sec + u.ru_stime.tv_sec) * 1e3 +
           (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e3;
}
} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: vexo-script-bench BIG_SCRIPT FUNCTIONS_SCRIPT [LIBRARY]\n");
        return 2;
    }
    const QString big = readAll(argv[1]);
    const QString functions = readAll(argv[2]);
    {
        GlobalObjects globals;
        NullLog log;
        QElapsedTimer t;

        t.start();
        double cpu = processCpuMs();
        const LoadResult r = LoadCode(globals, big, log);
        std::printf("load_5mb %.1f (cpu %.0f)\n", t.nsecsElapsed() / 1e6, processCpuMs() - cpu);
        if (r.outcome != LoadResult::Loaded)
            std::fprintf(stderr, "the big script did not load\n");
        // Pressed again: a fresh engine, the source reader already compiled.
        t.start();
        cpu = processCpuMs();
        LoadCode(globals, big, log);
        std::printf("load_5mb_again %.1f (cpu %.0f)\n", t.nsecsElapsed() / 1e6,
                    processCpuMs() - cpu);

        LoadCode(globals, functions, log);
        ProcedureList list;
        t.start();
        globals.mainHost().Procedures(list);
        std::printf("function_list_10k %.1f (%lld functions)\n", t.nsecsElapsed() / 1e6,
                    static_cast<long long>(list.count()));

        if (argc > 3) {
            const QString library = readAll(argv[3]);
            t.start();
            LoadCode(globals, library, log);
            const double load = t.nsecsElapsed() / 1e6;
            ProcedureList procedures;
            t.start();
            globals.mainHost().Procedures(procedures);
            std::printf("load_library %.1f\nfunction_list_library %.1f (%lld functions)\n", load,
                        t.nsecsElapsed() / 1e6, static_cast<long long>(procedures.count()));
        }

        constexpr int kRounds = 2000;
        t.start();
        for (int i = 0; i < kRounds; ++i)
            globals.mainHost().Eval(QStringLiteral("1+1"));
        std::printf("eval_round_trip %.4f\n", t.nsecsElapsed() / 1e6 / kRounds);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return 0;
}
