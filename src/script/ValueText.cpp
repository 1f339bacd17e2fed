#include "script/ValueText.h"

#include "engine/OleDate.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>

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
// A high surrogate at i followed by a low one: one character, shown as it is.
bool isPairAt(QStringView text, qsizetype i) {
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

QString surrogateEscape(char16_t u) {
    return QLatin1String("\\u") + QString::number(unsigned(u), 16).rightJustified(4, u'0');
}
} // namespace

QString escapeLoneSurrogates(const QString& text) {
    qsizetype i = 0;
    for (; i < text.size(); ++i) {
        if (text[i].isSurrogate() && !isPairAt(text, i))
            break;
        if (text[i].isHighSurrogate())
            ++i;
    }
    if (i == text.size())
        return text; // the usual case: nothing to escape, no copy
    QString out = text.left(i);
    for (; i < text.size(); ++i) {
        if (!text[i].isSurrogate()) {
            out += text[i];
        } else if (isPairAt(text, i)) {
            out += text[i];
            out += text[++i];
        } else {
            out += surrogateEscape(text[i].unicode());
        }
    }
    return out;
}

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
    if (std::isnan(oleDate))
        return invalidDateText();
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

QString oneLineMessage(const QString& message) {
    static const struct {
        char16_t c;
        const char* shown;
    } named[] = {{u'\0', "\\0"}, {u'\n', "\\n"}, {u'\r', "\\r"},         {u'\b', "\\b"},
                 {u'\f', "\\f"}, {u'\v', "\\v"}, {u'\u2028', "\\u2028"}, {u'\u2029', "\\u2029"}};
    QStringView body(message);
    const bool closed = body.endsWith(u"\r\n");
    if (closed)
        body.chop(2);
    QString out;
    out.reserve(message.size());
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body[i];
        const char16_t u = c.unicode();
        if (c.isSurrogate()) {
            if (isPairAt(body, i)) {
                out += c;
                out += body[++i];
            } else {
                out += surrogateEscape(u);
            }
            continue;
        }
        const bool control =
            (u < 0x20 && u != u'\t') || (u >= 0x7F && u <= 0x9F) || u == 0x2028 || u == 0x2029;
        if (!control) {
            out += c;
            continue;
        }
        const auto* it = std::find_if(std::begin(named), std::end(named),
                                      [u](const auto& n) { return n.c == u; });
        if (it != std::end(named))
            out += QLatin1String(it->shown);
        else
            out += QLatin1String("\\x") +
                   QString::number(unsigned(u), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    if (closed)
        out += QLatin1String("\r\n");
    return out;
}

QString cutLongLine(const QString& message, qsizetype limit) {
    QStringView body(message);
    const bool closed = body.endsWith(u"\r\n");
    if (closed)
        body.chop(2);
    if (limit < 0 || body.size() <= limit)
        return message;
    qsizetype keep = limit;
    if (keep > 0 && body[keep - 1].isHighSurrogate() && body[keep].isLowSurrogate())
        --keep;
    QString out = body.left(keep).toString();
    out += QStringLiteral("…（共 %1 字符）").arg(body.size());
    if (closed)
        out += QLatin1String("\r\n");
    return out;
}
