#include "engine/EventLoop.h"

#include <cmath>

namespace {
// As browsers do: deeply nested timeouts wait at least 4 ms, so a timer that sets itself
// again moves the clock on.
constexpr int kNestingBeforeClamp = 5;
constexpr double kClampMs = 4.0;
} // namespace

double EventLoop::clamped(const Timer& timer) const {
    double delay = std::isfinite(timer.delay) && timer.delay > 0.0 ? timer.delay : 0.0;
    if (timer.kind == Kind::Timeout && timer.nesting > kNestingBeforeClamp && delay < kClampMs)
        delay = kClampMs;
    return delay;
}

void EventLoop::schedule(int id, Timer& timer) {
    const double now = m_clock.sinceOrigin();
    double due = now;
    if (timer.kind == Kind::Frame)
        due = (std::floor(now / kFrameMs) + 1.0) * kFrameMs;
    else if (timer.kind == Kind::Timeout)
        due = now + clamped(timer);
    timer.key = {due, ++m_order};
    m_due.emplace(timer.key, id);
}

int EventLoop::add(double delayMs, bool repeat, Kind kind) {
    const int id = ++m_lastId;
    Timer timer;
    timer.delay = delayMs;
    timer.repeat = repeat && kind == Kind::Timeout;
    timer.kind = kind;
    timer.nesting = m_nesting + 1;
    auto [it, added] = m_timers.emplace(id, timer);
    schedule(id, it->second);
    return id;
}

void EventLoop::clear(int id) {
    if (id == m_running)
        m_runningCleared = true;
    const auto it = m_timers.find(id);
    if (it == m_timers.end())
        return;
    m_due.erase(it->second.key);
    m_timers.erase(it);
}

void EventLoop::clearAll() {
    m_due.clear();
    m_timers.clear();
    m_runningCleared = true;
}

EventLoop::Outcome EventLoop::run(const std::function<bool(int, double)>& fire) {
    Outcome outcome;
    const double limit = m_clock.sinceOrigin() + kTimeLimitMs;
    while (!m_due.empty()) {
        const auto first = m_due.begin();
        if (outcome.callbacks >= kCallbackLimit || first->first.first > limit) {
            outcome.end = Outcome::Bounded;
            break;
        }
        const int id = first->second;
        m_due.erase(first);
        Timer& timer = m_timers.at(id);
        m_clock.advanceTo(timer.key.first);
        const Timer ran = timer;
        if (!ran.repeat)
            m_timers.erase(id);
        m_running = id;
        m_runningCleared = false;
        m_nesting = ran.nesting;
        const bool goOn = fire(id, m_clock.sinceOrigin());
        m_nesting = 0;
        m_running = 0;
        ++outcome.callbacks;
        if (ran.repeat && !m_runningCleared) {
            Timer& again = m_timers.at(id);
            ++again.nesting;
            schedule(id, again);
        }
        if (!goOn) {
            outcome.end = Outcome::Stopped;
            break;
        }
    }
    outcome.pending = pending();
    return outcome;
}
