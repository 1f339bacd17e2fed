#include "script/ValueText.h"

#include "script/OleDate.h"

#include <cmath>
#include <cstdio>

namespace {
QString withWideExponent(const char* text) {
    QString s = QString::fromLatin1(text);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e < 0)
        return s;
    const qsizetype digits = s.size() - (e + 2); // after "e+" or "e-"
    if (digits < 3)
        s.insert(e + 2, QString(3 - digits, QLatin1Char('0')));
    return s;
}

QString printfNumber(const char* format, double value) {
    if (std::isnan(value))
        return QStringLiteral("NaN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return withWideExponent(buffer);
}
} // namespace

QString formatNumber(double value) {
    return printfNumber("%.13g", value);
}

QString formatSingle(float value) {
    return printfNumber("%.6g", double(value));
}

QString formatBool(bool value) {
    return value ? QStringLiteral("真") : QStringLiteral("假");
}

QString formatDate(double oleDate) {
    const auto dt = dateTimeFromOleDate(oleDate);
    if (!dt)
        return {};
    const QDate d = dt->date();
    const QTime t = dt->time();
    QString text = QStringLiteral("%1年%2月%3日").arg(d.year()).arg(d.month()).arg(d.day());
    if (t.second() != 0)
        text += QStringLiteral("%1时%2分%3秒").arg(t.hour()).arg(t.minute()).arg(t.second());
    else if (t.minute() != 0)
        text += QStringLiteral("%1时%2分").arg(t.hour()).arg(t.minute());
    else if (t.hour() != 0)
        text += QStringLiteral("%1时").arg(t.hour());
    return text;
}
