#pragma once
// The clock the user's code reads (Date, performance.now()). It runs with real time and
// jumps ahead when the event loop runs a timer whose time has not come, so nothing waits
// for real. With a fixed start it does not follow real time at all: it moves by the
// timers and by one microsecond per reading (a loop that waits for the clock still ends),
// so the same code reads the same times on every run.

#include <QElapsedTimer>

#include <optional>

// "固定时间和随机数": the seed of Math.random() and of the random bytes, and the moment
// (milliseconds since 1970, UTC) the clock starts at.
struct FixedTime {
    // 2024-01-01T00:00:00Z, when no start is given.
    static constexpr double kDefaultStart = 1704067200000.0;
    quint64 seed = 0;
    double startMs = kDefaultStart;
    bool operator==(const FixedTime&) const = default;
};

class VirtualClock {
public:
    explicit VirtualClock(const std::optional<FixedTime>& fixed);

    bool isFixed() const { return m_fixed; }
    // Date.now() at the origin (performance.timeOrigin).
    double origin() const { return m_origin; }
    // Milliseconds since the origin (performance.now()).
    double sinceOrigin();
    // Milliseconds since 1970 (Date.now(), with its fraction).
    double now() { return m_origin + sinceOrigin(); }
    // Moves the clock to `sinceOriginMs` unless it is already past it.
    void advanceTo(double sinceOriginMs);

private:
    bool m_fixed;
    double m_origin;
    QElapsedTimer m_real;
    double m_ahead = 0.0; // virtual milliseconds added to the real (or fixed) run
    double m_readings = 0.0;
};
