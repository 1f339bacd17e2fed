#pragma once
// The timers of the user's code on virtual time. After each load and each evaluation the
// due timers run in order of their due time (equal times in the order they were set); the
// clock jumps to each one's time, so a setTimeout(f, 1000) runs at once. A run ends when
// no timer is left, or at a bound (kCallbackLimit callbacks or kTimeLimitMs of virtual
// time since the run began): a bounded interval must not keep the job going for ever.
// The promise jobs a callback queues run when the call into the engine returns, before
// the next timer, as the engine drains them itself. Engine thread only.

#include "engine/VirtualClock.h"

#include <QtGlobal>

#include <functional>
#include <map>
#include <unordered_map>
#include <utility>

class EventLoop {
public:
    enum class Kind { Timeout, Frame, Immediate };
    static constexpr int kCallbackLimit = 100000;
    static constexpr double kTimeLimitMs = 60000.0;
    static constexpr double kFrameMs = 1000.0 / 60.0;

    struct Outcome {
        enum End { Idle, Bounded, Stopped } end = Idle;
        int callbacks = 0;
        // Timers still waiting when the run ended.
        int pending = 0;
    };

    explicit EventLoop(VirtualClock& clock) : m_clock(clock) {}

    // A timer `delayMs` from now (Timeout; repeated for intervals), at the next frame
    // (Frame) or as soon as possible (Immediate). Returns its number (from 1).
    int add(double delayMs, bool repeat, Kind kind);
    void clear(int id);
    // Forgets every timer (a job the user stopped leaves none to run later).
    void clearAll();
    int pending() const { return int(m_timers.size()); }

    // Runs due timers; fire(id, sinceOriginMs) runs one and returns false when the job was
    // stopped, which ends the run.
    Outcome run(const std::function<bool(int, double)>& fire);

private:
    struct Timer {
        double delay = 0.0;
        bool repeat = false;
        Kind kind = Kind::Timeout;
        int nesting = 0;
        std::pair<double, quint64> key;
    };
    void schedule(int id, Timer& timer);
    double clamped(const Timer& timer) const;

    VirtualClock& m_clock;
    std::map<std::pair<double, quint64>, int> m_due; // (due time, order set) → timer
    std::unordered_map<int, Timer> m_timers;
    quint64 m_order = 0;
    int m_lastId = 0;
    int m_nesting = 0; // of the callback running now (0: none)
    int m_running = 0; // the timer whose callback runs now
    bool m_runningCleared = false;
};
