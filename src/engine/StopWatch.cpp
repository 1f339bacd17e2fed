#include "engine/StopWatch.h"

#include "engine/JscPrivate.h"
#include "engine/ScriptThread.h"

#include <cstdlib>
#include <unordered_map>

namespace {
// The engine stops running code at its periodic check in one of two ways: by a signal that
// patches the running machine code, or by code that polls at every loop and call. The
// signal way sometimes never lands once a function's loop has been stopped a few times
// (the fourth stop of `for (;;) {}` waits forever), so 停止 and every time limit would hang.
// Polling costs about a tenth on tight loops. Set before the engine reads its options,
// which it does once, at the first use of any of its functions; an option given in the
// environment is kept.
[[maybe_unused]] const bool g_pollingTraps = setenv("JSC_usePollingTraps", "true", 0) == 0;

// Engines are used only on the thread that made them, so each thread has its own list.
std::unordered_map<JSContextGroupRef, StopWatch*>& watches() {
    static thread_local std::unordered_map<JSContextGroupRef, StopWatch*> map;
    return map;
}

thread_local const std::atomic<bool>* t_stopFlag = nullptr;

// The check of a group whose watch has gone: it knows nothing but the group, so it stays
// valid for objects that outlive their engine (their contexts keep the group alive).
bool stopOnly(JSContextRef, void* group);

void armStopOnly(JSContextGroupRef group) {
    JSContextGroupSetExecutionTimeLimit(group, StopWatch::kDefaultInterval, &stopOnly,
                                        const_cast<OpaqueJSContextGroup*>(group));
}

bool stopOnly(JSContextRef, void* group) {
    if (StopWatch::threadStopFlag().load())
        return true;
    armStopOnly(static_cast<JSContextGroupRef>(group));
    return false;
}
} // namespace

StopWatch::StopWatch(JSContextGroupRef group, double intervalSeconds,
                     const std::atomic<bool>* stopFlag)
    : m_group(group), m_interval(intervalSeconds), m_stop(stopFlag ? stopFlag : &threadStopFlag()) {
    watches()[group] = this;
    arm();
}

StopWatch::~StopWatch() {
    auto& map = watches();
    if (auto it = map.find(m_group); it != map.end() && it->second == this)
        map.erase(it);
    armStopOnly(m_group);
}

void StopWatch::setDeadline(double seconds) {
    m_limitMs = seconds > 0.0 ? qint64(seconds * 1000.0) : 0;
    m_timedOut = false;
    m_clock.start();
}

void StopWatch::arm() {
    JSContextGroupSetExecutionTimeLimit(m_group, m_interval, &shouldTerminate, this);
}

StopWatch::Outcome StopWatch::outcome() const {
    if (stopRequested())
        return Outcome::Stopped;
    return m_timedOut ? Outcome::TimedOut : Outcome::Running;
}

bool StopWatch::expired() {
    if (m_limitMs > 0 && m_clock.elapsed() >= m_limitMs)
        m_timedOut = true;
    return m_timedOut;
}

bool StopWatch::shouldTerminate(JSContextRef, void* data) {
    auto* watch = static_cast<StopWatch*>(data);
    if (watch->stopRequested() || watch->expired())
        return true;
    watch->arm(); // the callback fires once per limit
    return false;
}

StopWatch* StopWatch::of(JSContextGroupRef group) {
    const auto& map = watches();
    const auto it = map.find(group);
    return it == map.end() ? nullptr : it->second;
}

bool StopWatch::enter(JSContextRef ctx) {
    JSContextGroupRef group = JSContextGetGroup(ctx);
    if (StopWatch* watch = of(group)) {
        if (watch->stopRequested() || watch->expired())
            return false;
        watch->arm();
        return true;
    }
    if (threadStopFlag().load())
        return false;
    armStopOnly(group);
    return true;
}

const std::atomic<bool>& StopWatch::threadStopFlag() {
    return t_stopFlag ? *t_stopFlag : ScriptThread::instance().stopFlag();
}

void StopWatch::setThreadStopFlag(const std::atomic<bool>* flag) {
    t_stopFlag = flag;
}

bool StopWatch::ended(JSContextRef ctx) {
    if (StopWatch* watch = of(JSContextGetGroup(ctx)))
        return watch->stopRequested() || watch->expired();
    return threadStopFlag().load();
}
