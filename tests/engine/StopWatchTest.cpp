// The stop watch: a deadline ends a script as timed out, "停止" as stopped, at the next
// check; each engine on a thread has its own watch; the entry
// guard refuses to start once a job is stopped.

#include "engine/EngineContext.h"
#include "engine/ScriptThread.h"

#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace {
// Presses "停止" after a delay (ms), or never (< 0).
class StopAfter : public ScriptWaiter {
public:
    explicit StopAfter(int ms) : m_ms(ms) {}
    void wait(ScriptJob& job) override {
        if (m_ms >= 0 && !job.waitDone(m_ms))
            ScriptThread::instance().requestStop();
        job.waitDone(-1);
    }

private:
    int m_ms;
};
} // namespace

TEST(StopWatch, DeadlineAndStopEndTheScriptAsThemselves) {
    struct Case {
        const char* code;
        double interval;
        double deadline;
        int stopAfterMs;
        StopWatch::Outcome outcome;
    };
    using O = StopWatch::Outcome;
    const Case cases[] = {
        {"1 + 1", 0.05, 1.0, -1, O::Running},
        {"for (;;) {}", 0.05, 0.2, -1, O::TimedOut},
        {"for (;;) {}", 0.25, 0.0, 200, O::Stopped},
        {"for (;;) {}", 0.1, 30.0, 200, O::Stopped},
    };
    for (const Case& c : cases) {
        StopAfter waiter(c.stopAfterMs);
        ScriptThread::instance().setWaiter(&waiter);
        O outcome = O::Running;
        bool threw = false;
        ScriptThread::instance().call([&] {
            EngineContext engine(c.interval);
            engine.watch()->setDeadline(c.deadline);
            JSValueRef exception = nullptr;
            engine.evaluate(QString::fromLatin1(c.code), {}, &exception);
            threw = exception != nullptr;
            outcome = engine.watch()->outcome();
        });
        ScriptThread::instance().setWaiter(nullptr);
        EXPECT_EQ(int(outcome), int(c.outcome)) << c.code;
        EXPECT_EQ(threw, c.outcome != O::Running) << c.code;
    }
}

// The engine once stopped the same looping function three times and then never again: a
// service call or a 停止 waited without end.
TEST(StopWatch, TheSameLoopIsEndedEveryTime) {
    std::vector<int> outcomes;
    ScriptThread::instance().call([&] {
        EngineContext engine(0.02);
        JSValueRef exception = nullptr;
        engine.evaluate(QStringLiteral("function spin() { for (;;) {} }"), {}, &exception);
        for (int i = 0; i < 8; ++i) {
            engine.watch()->setDeadline(0.05);
            engine.evaluate(QStringLiteral("spin()"), {}, &exception);
            outcomes.push_back(int(engine.watch()->outcome()));
        }
    });
    EXPECT_EQ(outcomes, std::vector<int>(8, int(StopWatch::Outcome::TimedOut)));
}

TEST(StopWatch, EachEngineHasItsOwnWatchAndTheGuardRefusesAfterAStop) {
    ScriptThread::instance().call([] {
        EngineContext first(0.05);
        JSContextGroupRef secondGroup = nullptr;
        {
            EngineContext second;
            secondGroup = second.group();
            EXPECT_EQ(StopWatch::of(first.group()), first.watch());
            EXPECT_EQ(StopWatch::of(second.group()), second.watch());
            // A context in another's group has that group's watch.
            const EngineContext private_ = EngineContext::inGroupOf(second.context());
            EXPECT_EQ(private_.watch(), nullptr);
            EXPECT_EQ(StopWatch::of(private_.group()), second.watch());

            first.watch()->setDeadline(0.1);
            JSValueRef exception = nullptr;
            first.evaluate(QStringLiteral("for (;;) {}"), {}, &exception);
            EXPECT_EQ(int(first.watch()->outcome()), int(StopWatch::Outcome::TimedOut));
            // The other engine is not timed out by the first one's deadline.
            EXPECT_TRUE(second.enter());
            EXPECT_EQ(jsValueToQString(second.context(),
                                       second.evaluate(QStringLiteral("6 * 7"), {}, &exception)),
                      QStringLiteral("42"));
            // Once out of time, the first engine refuses new entries.
            EXPECT_FALSE(first.enter());
            first.watch()->setDeadline(0.0);
            EXPECT_TRUE(first.enter());
        }
        EXPECT_EQ(StopWatch::of(secondGroup), nullptr);
    });

    // After "停止" no entry starts, in any engine of the thread.
    StopAfter waiter(0);
    ScriptThread::instance().setWaiter(&waiter);
    bool entered = true;
    ScriptThread::instance().call([&] {
        EngineContext engine;
        while (!ScriptThread::instance().stopRequested())
            QThread::msleep(5);
        entered = engine.enter();
    });
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_FALSE(entered);
}

// An engine on a thread with a stop flag of its own (a service engine) is not ended by the
// script thread's "停止", and its own flag ends it.
TEST(StopWatch, AThreadsOwnStopFlagIsTheOnlyOneItsEnginesHear) {
    StopAfter waiter(0); // presses "停止" at once, and the job below outlasts it
    ScriptThread::instance().setWaiter(&waiter);
    std::atomic<bool> own{false};
    StopWatch::Outcome ownAfterScriptStop = StopWatch::Outcome::Stopped;
    StopWatch::Outcome afterOwnStop = StopWatch::Outcome::Running;
    ScriptThread::instance().call([&] {
        while (!ScriptThread::instance().stopRequested())
            QThread::msleep(5);
        std::thread service([&] {
            StopWatch::setThreadStopFlag(&own);
            EngineContext engine(0.05);
            engine.watch()->setDeadline(0.3);
            JSValueRef exception = nullptr;
            engine.evaluate(QStringLiteral("for (;;) {}"), {}, &exception);
            ownAfterScriptStop = engine.watch()->outcome();
            own.store(true);
            afterOwnStop = engine.watch()->outcome();
            EXPECT_FALSE(engine.enter());
            StopWatch::setThreadStopFlag(nullptr);
        });
        service.join();
    });
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(int(ownAfterScriptStop), int(StopWatch::Outcome::TimedOut));
    EXPECT_EQ(int(afterOwnStop), int(StopWatch::Outcome::Stopped));
}
