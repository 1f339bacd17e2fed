#include "engine/OleDate.h"

#include <cmath>

namespace {
const QDate kEpoch(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;
// The range automation dates allow: years 100 to 9999.
constexpr double kMinDate = -657434.0;
constexpr double kMaxDate = 2958465.99999999;
} // namespace

double oleDateFromDateTime(const QDateTime& local) {
    const qint64 days = kEpoch.daysTo(local.date());
    const double fraction = double(local.time().msecsSinceStartOfDay()) / double(kMsPerDay);
    return days >= 0 ? double(days) + fraction : double(days) - fraction;
}

std::optional<QDateTime> dateTimeFromOleDate(double oleDate) {
    if (!std::isfinite(oleDate) || oleDate < kMinDate || oleDate > kMaxDate)
        return std::nullopt;
    const double whole = std::trunc(oleDate);
    // Rounded to whole seconds, as the platform's date splitting does.
    qint64 ms = std::llround(std::fabs(oleDate - whole) * 86400.0) * 1000;
    qint64 days = qint64(whole);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += 1;
    }
    return QDateTime(kEpoch.addDays(days), QTime::fromMSecsSinceStartOfDay(int(ms)));
}
