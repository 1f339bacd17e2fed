#include "engine/Variant.h"

#include "engine/OleDate.h"
#include "engine/ScriptObject.h"

#include <cmath>
#include <cstdio>

namespace {
// Number parsing as the coercion from text does it: surrounding blanks allowed,
// nothing else around the number.
std::optional<double> parseNumber(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        return d;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        const qlonglong v = t.mid(2).toLongLong(&ok, 16);
        if (ok)
            return double(v);
    }
    return std::nullopt;
}

std::optional<double> parseDate(const QString& text) {
    const QString t = text.trimmed();
    static const char* const formats[] = {"yyyy/M/d H:mm:ss",    "yyyy/M/d H:mm", "yyyy/M/d",
                                          "yyyy-M-d H:mm:ss",    "yyyy-M-d H:mm", "yyyy-M-d",
                                          "yyyy-MM-ddTHH:mm:ss", "H:mm:ss",       "H:mm"};
    for (const char* f : formats) {
        const QString format = QString::fromLatin1(f);
        if (!format.contains(QLatin1Char('y'))) {
            const QTime time = QTime::fromString(t, format);
            if (time.isValid())
                return double(time.msecsSinceStartOfDay()) / 86400000.0;
            continue;
        }
        const QDateTime dt = QDateTime::fromString(t, format);
        if (dt.isValid())
            return oleDateFromDateTime(dt);
    }
    return std::nullopt;
}

QString doubleToString(double d) {
    if (std::isnan(d))
        return QStringLiteral("NaN");
    if (std::isinf(d))
        return d > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (d == 0.0)
        return QStringLiteral("0"); // no "-0"
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15G", d);
    return QString::fromLatin1(buffer);
}

QString dateToString(double oleDate) {
    const auto dt = dateTimeFromOleDate(oleDate);
    if (!dt)
        return {};
    const QString date = dt->date().toString(QStringLiteral("yyyy/M/d"));
    if (dt->time().msecsSinceStartOfDay() == 0)
        return date;
    return date + QLatin1Char(' ') + dt->time().toString(QStringLiteral("H:mm:ss"));
}
} // namespace

Variant Variant::null() {
    return withType(Null);
}

Variant Variant::fromBool(bool value) {
    Variant v = withType(Bool);
    v.m_bool = value;
    return v;
}

Variant Variant::fromInt(qint32 value) {
    Variant v = withType(I4);
    v.m_int = value;
    return v;
}

Variant Variant::fromDouble(double value) {
    Variant v = withType(R8);
    v.m_double = value;
    return v;
}

Variant Variant::fromString(const QString& value) {
    Variant v = withType(BStr);
    v.m_string = value;
    return v;
}

Variant Variant::fromDate(double oleDate) {
    Variant v = withType(Date);
    v.m_double = oleDate;
    return v;
}

Variant Variant::fromDecimal(const QString& digits) {
    Variant v = withType(Decimal);
    v.m_string = digits;
    return v;
}

Variant Variant::fromObject(std::shared_ptr<ScriptObject> object) {
    if (!object)
        return withType(Dispatch); // a null object reference
    Variant v = withType(Dispatch);
    v.m_object = std::move(object);
    return v;
}

Variant Variant::withType(quint16 vt) {
    Variant v;
    v.m_vt = vt;
    return v;
}

std::shared_ptr<ScriptObject> Variant::toObject() const {
    return isObject() ? m_object : nullptr;
}

std::optional<double> Variant::changeToDouble() const {
    switch (m_vt) {
    case Empty:
        return 0.0;
    case I4:
        return double(m_int);
    case R8:
    case Date:
        return m_double;
    case Bool:
        return m_bool ? -1.0 : 0.0;
    case BStr:
    case Decimal:
        return parseNumber(m_string);
    case Dispatch:
    case Unknown:
        if (m_object) {
            if (auto text = m_object->defaultText())
                return parseNumber(*text);
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<QString> Variant::changeToString() const {
    switch (m_vt) {
    case Empty:
        return QString();
    case I4:
        return QString::number(m_int);
    case R8:
        return doubleToString(m_double);
    case Decimal:
        return m_string;
    case Date: {
        if (std::isnan(m_double))
            return invalidDateText();
        const QString s = dateToString(m_double);
        if (s.isEmpty())
            return std::nullopt;
        return s;
    }
    case Bool:
        return m_bool ? QStringLiteral("-1") : QStringLiteral("0");
    case BStr:
        return m_string;
    case Dispatch:
    case Unknown:
        return m_object ? m_object->defaultText() : std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<bool> Variant::changeToBool() const {
    switch (m_vt) {
    case Empty:
        return false;
    case I4:
        return m_int != 0;
    case R8:
    case Date:
        return m_double != 0.0;
    case Bool:
        return m_bool;
    case Decimal:
        return m_string != QLatin1String("0");
    case BStr: {
        const QString t = m_string.trimmed();
        if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || t == QStringLiteral("真"))
            return true;
        if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0 ||
            t == QStringLiteral("假"))
            return false;
        if (auto d = parseNumber(t))
            return *d != 0.0;
        return std::nullopt;
    }
    case Dispatch:
    case Unknown:
        if (m_object) {
            if (auto text = m_object->defaultText())
                return Variant::fromString(*text).changeToBool();
        }
        return std::nullopt;
    default:
        return std::nullopt;
    }
}

std::optional<double> Variant::changeToDate() const {
    std::optional<double> d;
    switch (m_vt) {
    case Empty:
        return 0.0;
    case Date:
        if (std::isnan(m_double))
            return m_double; // an invalid date stays invalid
        d = m_double;
        break;
    case I4:
    case R8:
    case Bool:
    case Decimal:
        d = changeToDouble();
        break;
    case BStr:
        d = parseDate(m_string);
        break;
    case Dispatch:
    case Unknown:
        if (m_object) {
            if (auto text = m_object->defaultText())
                d = parseDate(*text);
        }
        break;
    default:
        break;
    }
    if (d && !dateTimeFromOleDate(*d))
        return std::nullopt; // outside the years 100 to 9999
    return d;
}
