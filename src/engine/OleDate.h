#pragma once
// Automation dates: days since 30 December 1899 (local time), the fraction being the
// time of day. For negative values the fraction still counts forward from midnight.

#include <QDateTime>

#include <optional>

double oleDateFromDateTime(const QDateTime& local);
std::optional<QDateTime> dateTimeFromOleDate(double oleDate);

// How a date without a value (a script's invalid Date) is written.
inline QString invalidDateText() {
    return QStringLiteral("无效日期");
}
