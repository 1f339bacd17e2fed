#include "engine/VirtualClock.h"

#include <QDateTime>

namespace {
constexpr double kFixedStepMs = 0.001;
}

VirtualClock::VirtualClock(const std::optional<FixedTime>& fixed)
    : m_fixed(fixed.has_value()),
      m_origin(fixed ? fixed->startMs : double(QDateTime::currentMSecsSinceEpoch())) {
    m_real.start();
}

double VirtualClock::sinceOrigin() {
    if (m_fixed) {
        m_readings += kFixedStepMs;
        return m_ahead + m_readings;
    }
    return m_ahead + double(m_real.nsecsElapsed()) / 1e6;
}

void VirtualClock::advanceTo(double sinceOriginMs) {
    const double current =
        m_fixed ? m_ahead + m_readings : m_ahead + double(m_real.nsecsElapsed()) / 1e6;
    if (sinceOriginMs > current)
        m_ahead += sinceOriginMs - current;
}
