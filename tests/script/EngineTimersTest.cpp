// The engine's own timers (garbage collection, sweeping) run on the script thread's event
// loop between jobs. Many fresh engines, loads, evaluations and releases, with idle time
// for those timers to come due, must neither crash nor grow without bound. These run on
// the blocking waiter, as the command line does; the window's path is in the shell tests.

#include "../support/RecordingLog.h"

#include "script/DemoScript.h"
#include "script/GlobalObjects.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"
#include "script/TextCodec.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QThread>

namespace {
const QString kGarbage = QStringLiteral(
    "(function(){var a=[];for(var i=0;i<20000;i++)a.push({i:i,s:'x'+i});return a.length;})()");

QString demo() {
    return decodeBytes(demoScriptGbk(), "GBK").value();
}

long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}
} // namespace

TEST(EngineTimers, RepeatedLoadsEvaluationsAndFreshEnginesWithIdleTime) {
    GlobalObjects globals;
    RecordingLog log;
    const QString code = demo();
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(LoadCode(globals, code, log).outcome, LoadResult::Loaded) << "load " << i;
        EXPECT_EQ(globals.mainHost().Eval(kGarbage).toDouble(), 20000.0);
        if (i % 10 == 0) {
            // A whole engine of its own, used and released.
            ScriptHost fresh;
            fresh.AddCode(code);
            EXPECT_EQ(fresh.Error().number, 0);
            EXPECT_EQ(fresh.Eval(QStringLiteral("OXOX('a',1,'b')")).toText(),
                      globals.mainHost().Eval(QStringLiteral("OXOX('a',1,'b')")).toText());
        }
        if (i % 5 == 0)
            QThread::msleep(60); // the script thread idles; due timers fire now
        log.lines.clear();
    }
}

TEST(EngineTimers, MemoryStaysBoundedOverManyLoads) {
#ifdef VEXO_SANITIZED
    GTEST_SKIP() << "a sanitizer's own bookkeeping makes resident memory meaningless here";
#endif
    GlobalObjects globals;
    RecordingLog log;
    const QString code = demo();
    auto loads = [&](int count) {
        for (int i = 0; i < count; ++i) {
            LoadCode(globals, code, log);
            globals.mainHost().Eval(kGarbage);
            log.lines.clear();
        }
    };
    loads(200); // past the engine's warm-up
    const long warm = residentKb();
    loads(800);
    const long after = residentKb();
    // Growing with the loads would add far more than this over 800 of them.
    EXPECT_LT(after, warm + 48 * 1024) << "warm " << warm << " KB, after " << after << " KB";
}
