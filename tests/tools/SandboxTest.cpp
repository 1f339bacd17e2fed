// The sandbox engine on its own: results as text, errors, the time limit, and that no
// run sees anything of another or of the host.

#include "../support/StopAtOnce.h"

#include "engine/Sandbox.h"
#include "engine/ScriptThread.h"
#include "script/BasicEnvironment.h"

#include <gtest/gtest.h>

namespace {
SandboxRun run(const QString& code, double limit = 2.0) {
    SandboxRun r;
    ScriptThread::instance().call([&] { r = runInSandbox(code, limit); });
    return r;
}
} // namespace

TEST(Sandbox, ValuesErrorsAndTimeLimit) {
    SandboxRun r = run(QStringLiteral("JSON.stringify(['中文', 1 + 2])"));
    EXPECT_EQ(r.status, SandboxRun::Ok);
    EXPECT_EQ(r.value, QStringLiteral("[\"中文\",3]"));

    r = run(QStringLiteral("null.x"));
    EXPECT_EQ(r.status, SandboxRun::Threw);
    EXPECT_TRUE(r.value.startsWith(QStringLiteral("TypeError"))) << r.value.toStdString();
    r = run(QStringLiteral("var = ;"));
    EXPECT_EQ(r.status, SandboxRun::Threw);

    r = run(QStringLiteral("for (;;) {}"), 0.2);
    EXPECT_EQ(r.status, SandboxRun::TimedOut);
    // A run after a time-out starts with its full limit again.
    r = run(QStringLiteral("var n = 0; for (var i = 0; i < 1e5; i++) n += i; n"), 0.2);
    EXPECT_EQ(r.status, SandboxRun::Ok);
    EXPECT_EQ(r.value, QStringLiteral("4999950000"));
}

TEST(Sandbox, EveryRunIsAFreshEngineWithoutHostObjects) {
    EXPECT_EQ(run(QStringLiteral("globalThis.leak = 1; Object.prototype.polluted = 2; 'x'")).value,
              QStringLiteral("x"));
    EXPECT_EQ(run(QStringLiteral("typeof leak + ',' + ({}).polluted")).value,
              QStringLiteral("undefined,undefined"));
    EXPECT_EQ(run(QStringLiteral("[typeof print, typeof vexoSandboxRun, typeof require, "
                                 "typeof document, typeof window].join()"))
                  .value,
              QStringLiteral("undefined,undefined,undefined,undefined,undefined"));
}

// Given an environment, a run gets the console and the timers, hands back what it wrote,
// and a time-out in a timer or a promise job is the run's time-out.
TEST(Sandbox, AnEnvironmentBringsConsoleAndTimersUnderTheLimit) {
    const struct {
        const char* code;
        SandboxRun::Status status;
        const char* value;
        QStringList output;
    } cases[] = {
        {"console.log('a'); setTimeout(() => console.log('b'), 100); 'v'",
         SandboxRun::Ok,
         "v",
         {QStringLiteral("-->console.log：a\r\n"), QStringLiteral("-->console.log：b\r\n")}},
        {"setTimeout(function () { for (;;) {} }, 0); 1", SandboxRun::TimedOut, "", {}},
        {"Promise.resolve().then(function () { for (;;) {} }); 1", SandboxRun::TimedOut, "", {}},
    };
    const Environment environment{std::make_shared<BasicEnvironment>()};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        SandboxRun r;
        ScriptThread::instance().call(
            [&] { r = runInSandbox(QString::fromUtf8(c.code), 0.3, environment); });
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.value, QString::fromUtf8(c.value));
        EXPECT_EQ(r.output, c.output);
    }
}

TEST(Sandbox, StopEndsARunAtOnce) {
    StopAtOnce impatient;
    ScriptThread::instance().setWaiter(&impatient);
    const SandboxRun r = run(QStringLiteral("for (;;) {}"), 0.0);
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(r.status, SandboxRun::Stopped);
}
