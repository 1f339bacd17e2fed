#pragma once
// The stop check of one context group: every `interval` seconds the running script looks
// at the stop flag ("停止") and, when one is set, at its deadline. The engine's callback
// fires once per limit and the engine does not arm it again once it has ended a script,
// so the watch re-arms it from the callback and at every entry (enter()).
//
// Watches are found by their group, so any code holding only a context (a value's
// conversion, an object that outlived its engine) passes the same guard. Several engines
// may live on one thread, each with its own watch. Engine thread only.

#include <JavaScriptCore/JavaScript.h>

#include <QElapsedTimer>

#include <atomic>

class StopWatch {
public:
    enum class Outcome { Running, Stopped, TimedOut };

    // How often the main engine looks at the flag when nothing else is asked for: four
    // times a second keep "停止" prompt without slowing large loads.
    static constexpr double kDefaultInterval = 0.25;

    // Watches the group (which must outlive the watch) and arms the check at once.
    // stopFlag nullptr: the calling thread's flag (threadStopFlag()).
    StopWatch(JSContextGroupRef group, double intervalSeconds,
              const std::atomic<bool>* stopFlag = nullptr);
    // Leaves a check that knows only the stop flag, for objects outliving the watch.
    ~StopWatch();
    StopWatch(const StopWatch&) = delete;
    StopWatch& operator=(const StopWatch&) = delete;

    // A time limit from now (seconds; <= 0: none). Clears an earlier time-out.
    void setDeadline(double seconds);
    void arm();

    double interval() const { return m_interval; }
    bool stopRequested() const { return m_stop->load(); }
    // A stop wins over a time-out: the user's "停止" is what ended the job.
    Outcome outcome() const;

    // The guard in front of every call into an engine that may run script code: false
    // when the job was stopped (or ran out of time), so the call must not start;
    // otherwise the check of the context's group is armed afresh.
    static bool enter(JSContextRef ctx);
    // The same test without arming the check again, for a loop that enters once and then
    // calls into the engine many times (arming costs more than a short callback).
    static bool ended(JSContextRef ctx);
    // The watch of a group; nullptr when it has none (its engine has gone).
    static StopWatch* of(JSContextGroupRef group);

    // The stop flag of the engines made on the calling thread: the script thread's "停止"
    // unless the thread installed its own (an engine thread of the call service, which
    // the window's "停止" must not end). The flag must outlive the thread's engines.
    static const std::atomic<bool>& threadStopFlag();
    static void setThreadStopFlag(const std::atomic<bool>* flag);

private:
    bool expired();
    static bool shouldTerminate(JSContextRef ctx, void* watch);

    JSContextGroupRef m_group;
    double m_interval;
    const std::atomic<bool>* m_stop;
    QElapsedTimer m_clock;
    qint64 m_limitMs = 0;
    bool m_timedOut = false;
};
