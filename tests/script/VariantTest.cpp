// Values out of the engine: the type mapping, coercions and the texts of the report.

#include "engine/Variant.h"
#include "engine/OleDate.h"
#include "script/ScriptHost.h"
#include "script/ValueText.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(ValueText, NumbersAsThirteenSignificantDigits) {
    EXPECT_EQ(formatNumber(2), QStringLiteral("2"));
    EXPECT_EQ(formatNumber(1.0 / 3.0), QStringLiteral("0.3333333333333"));
    EXPECT_EQ(formatNumber(1e21), QStringLiteral("1e+021"));
    EXPECT_EQ(formatNumber(1.5e-7), QStringLiteral("1.5e-007"));
    EXPECT_EQ(formatNumber(1e100), QStringLiteral("1e+100"));
    EXPECT_EQ(formatNumber(-0.5), QStringLiteral("-0.5"));
    EXPECT_EQ(formatNumber(1234567890123.0), QStringLiteral("1234567890123"));
    EXPECT_EQ(formatNumber(12345678901234.0), QStringLiteral("1.234567890123e+013"));
    EXPECT_EQ(formatSingle(1.9f), QStringLiteral("1.9"));
    EXPECT_EQ(formatBool(true), QStringLiteral("真"));
    EXPECT_EQ(formatBool(false), QStringLiteral("假"));
}

TEST(ValueText, DatesDownToTheLastNonZeroField) {
    auto ole = [](int y, int mo, int d, int h, int mi, int s) {
        return oleDateFromDateTime(QDateTime(QDate(y, mo, d), QTime(h, mi, s)));
    };
    EXPECT_EQ(formatDate(ole(2014, 3, 5, 0, 0, 0)), QStringLiteral("2014年3月5日"));
    EXPECT_EQ(formatDate(ole(2014, 3, 5, 0, 0, 30)), QStringLiteral("2014年3月5日0时0分30秒"));
    EXPECT_EQ(formatDate(ole(2014, 3, 5, 0, 7, 0)), QStringLiteral("2014年3月5日0时7分"));
    EXPECT_EQ(formatDate(ole(2014, 3, 5, 13, 0, 0)), QStringLiteral("2014年3月5日13时"));
    EXPECT_EQ(formatDate(Variant::kDefaultDate), QStringLiteral("100年1月1日"));
    // Before 1899-12-30 the fraction still counts forward from midnight.
    EXPECT_EQ(formatDate(-1.25), QStringLiteral("1899年12月29日6时"));
    EXPECT_EQ(oleDateFromDateTime(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
}

TEST(ValueText, EveryMessageIsOneLine) {
    const QString crlf = QStringLiteral("\r\n");
    EXPECT_EQ(oneLineMessage(QStringLiteral("-->欢迎使用\r\n")), QStringLiteral("-->欢迎使用\r\n"));
    EXPECT_EQ(oneLineMessage(
                  QStringLiteral("-->代码压缩失败：Error: unterminated string literal: \n\r\n")),
              QStringLiteral("-->代码压缩失败：Error: unterminated string literal: \\n\r\n"));
    EXPECT_EQ(
        oneLineMessage(QStringLiteral("-->计算结果：a") + QChar(0) + QStringLiteral("b") + crlf),
        QStringLiteral("-->计算结果：a\\0b\r\n"));
    EXPECT_EQ(oneLineMessage(QStringLiteral("x\r\ny\rz\bw\fv\vu\tt") + crlf),
              QStringLiteral("x\\r\\ny\\rz\\bw\\fv\\vu\tt\r\n"));
    EXPECT_EQ(oneLineMessage(QStringLiteral("\x1b[0m\x7f") + QChar(0x85) + QChar(0x2028) +
                             QChar(0x2029) + QStringLiteral("中")),
              QStringLiteral("\\x1B[0m\\x7F\\x85\\u2028\\u2029中"));
    // Only the closing CR LF is the message's own; a second one before it is content.
    EXPECT_EQ(oneLineMessage(QStringLiteral("a\r\n\r\n")), QStringLiteral("a\\r\\n\r\n"));
    EXPECT_EQ(oneLineMessage(QString()), QString());
}

// Half a surrogate pair cannot be written as UTF-8; it is shown as its escape, both in
// a message and in decoded text, while whole pairs stay as they are.
TEST(ValueText, LoneSurrogatesAreEscaped) {
    const QChar high(0xD800), low(0xDC00);
    const QString pair = QString::fromUtf16(u"\U0001F600");
    const struct {
        QString in;
        QString out;
    } cases[] = {
        {QStringLiteral("a") + high + QStringLiteral("b"), QStringLiteral("a\\ud800b")},
        {QString(low) + QStringLiteral("?"), QStringLiteral("\\udc00?")},
        {QString(low) + high, QStringLiteral("\\udc00\\ud800")},
        {QStringLiteral("x") + high, QStringLiteral("x\\ud800")},
        {QString(QChar(0xDBFF)) + pair, QStringLiteral("\\udbff") + pair},
        {pair + QStringLiteral("中"), pair + QStringLiteral("中")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(escapeLoneSurrogates(c.in), c.out) << c.out.toStdString();
        EXPECT_EQ(oneLineMessage(c.in + QStringLiteral("\r\n")), c.out + QStringLiteral("\r\n"))
            << c.out.toStdString();
    }
}

TEST(ValueText, LongLinesAreCutWithTheirLength) {
    const QString crlf = QStringLiteral("\r\n");
    const QString pair = QString::fromUtf16(u"\U0001F600");
    const struct {
        QString in;
        qsizetype limit;
        QString out;
    } cases[] = {
        {QStringLiteral("abc") + crlf, 3, QStringLiteral("abc") + crlf},
        {QStringLiteral("abcd") + crlf, 3, QStringLiteral("abc…（共 4 字符）") + crlf},
        {QStringLiteral("abcd"), 2, QStringLiteral("ab…（共 4 字符）")},
        // The cut never leaves half a surrogate pair behind.
        {QStringLiteral("a") + pair + QStringLiteral("b"), 2, QStringLiteral("a…（共 4 字符）")},
        {QString(100000, QLatin1Char('x')) + crlf, kPaneLineLimit,
         QString(kPaneLineLimit, QLatin1Char('x')) + QStringLiteral("…（共 100000 字符）") + crlf},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cutLongLine(c.in, c.limit), c.out) << c.in.left(20).toStdString();
}

TEST(ValueText, InvalidDate) {
    const double nan = std::nan("");
    EXPECT_EQ(formatDate(nan), QStringLiteral("无效日期"));
    const Variant invalid = Variant::fromDate(nan);
    EXPECT_TRUE(std::isnan(invalid.toDate()));
    EXPECT_EQ(invalid.toText(), QStringLiteral("无效日期"));
    // A BigInt's digits as a Variant.
    const Variant big = Variant::fromDecimal(QStringLiteral("-9007199254740993"));
    EXPECT_EQ(big.vt(), Variant::Decimal);
    EXPECT_EQ(big.toText(), QStringLiteral("-9007199254740993"));
    EXPECT_EQ(big.toDouble(), -9007199254740992.0);
    EXPECT_TRUE(big.toBool());
    EXPECT_FALSE(Variant::fromDecimal(QStringLiteral("0")).toBool());
}

TEST(Variant, EngineValuesMapToTypes) {
    ScriptHost host;
    EXPECT_EQ(host.Eval(QStringLiteral("undefined")).vt(), Variant::Empty);
    EXPECT_EQ(host.Eval(QStringLiteral("null")).vt(), Variant::Null);
    EXPECT_EQ(host.Eval(QStringLiteral("1<2")).vt(), Variant::Bool);
    EXPECT_EQ(host.Eval(QStringLiteral("1+1")).vt(), Variant::I4);
    EXPECT_EQ(host.Eval(QStringLiteral("2147483648")).vt(), Variant::R8);
    EXPECT_EQ(host.Eval(QStringLiteral("1/3")).vt(), Variant::R8);
    EXPECT_EQ(host.Eval(QStringLiteral("'abc'")).vt(), Variant::BStr);
    EXPECT_EQ(host.Eval(QStringLiteral("[1,2]")).vt(), Variant::Dispatch);
    EXPECT_EQ(host.Eval(QStringLiteral("(function(){})")).vt(), Variant::Dispatch);
    EXPECT_EQ(host.Eval(QStringLiteral("Symbol('q')")).toText(), QStringLiteral("Symbol(q)"));
    EXPECT_EQ(host.Eval(QStringLiteral("2n ** 64n")).vt(), Variant::Decimal);
    EXPECT_EQ(host.Eval(QStringLiteral("2n ** 64n")).toText(),
              QStringLiteral("18446744073709551616"));
    EXPECT_EQ(host.Eval(QStringLiteral("new Date(NaN)")).vt(), Variant::Date);
    // Back into the engine: a BigInt stays exact, an invalid date stays invalid.
    host.AddCode(QStringLiteral("function probe(v) { return typeof v === 'bigint' ? v + 1n :"
                                " String(v.getTime()); }"));
    EXPECT_EQ(host.RunWith(QStringLiteral("probe"),
                           {Variant::fromDecimal(QStringLiteral("123456789012345678901"))})
                  .toText(),
              QStringLiteral("123456789012345678902"));
    EXPECT_EQ(host.RunWith(QStringLiteral("probe"), {Variant::fromDate(std::nan(""))}).toText(),
              QStringLiteral("NaN"));
    const Variant date = host.Eval(QStringLiteral("new Date(2014, 2, 5)"));
    ASSERT_EQ(date.vt(), Variant::Date);
    EXPECT_EQ(formatDate(date.toDate()), QStringLiteral("2014年3月5日"));
    EXPECT_EQ(formatDate(host.Eval(QStringLiteral("new Date(2014, 2, 5, 0, 0, 30)")).toDate()),
              QStringLiteral("2014年3月5日0时0分30秒"));
}

TEST(Variant, CoercionsAndTheirDefaults) {
    // Successful coercions.
    EXPECT_EQ(Variant::fromString(QStringLiteral(" 42.5 ")).toDouble(), 42.5);
    EXPECT_EQ(Variant::fromBool(true).toDouble(), -1.0);
    EXPECT_EQ(Variant::fromInt(7).toText(), QStringLiteral("7"));
    EXPECT_EQ(Variant::fromDouble(1.0 / 3.0).toText(), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(Variant::fromDouble(1e21).toText(), QStringLiteral("1E+21"));
    EXPECT_TRUE(Variant::fromString(QStringLiteral("True")).toBool());
    EXPECT_TRUE(Variant::fromInt(3).toBool());
    EXPECT_EQ(Variant().toDouble(), 0.0);
    EXPECT_EQ(Variant().toText(), QString());

    // Failed coercions give the defaults: 0, "", false, 1 January 100, no object.
    const Variant text = Variant::fromString(QStringLiteral("abc"));
    EXPECT_FALSE(text.changeToDouble().has_value());
    EXPECT_EQ(text.toDouble(), 0.0);
    EXPECT_FALSE(text.changeToBool().has_value());
    EXPECT_FALSE(text.toBool());
    EXPECT_EQ(text.toDate(), Variant::kDefaultDate);
    EXPECT_EQ(text.toObject(), nullptr);
    EXPECT_FALSE(Variant::null().changeToString().has_value());
    EXPECT_EQ(Variant::null().toText(), QString());
    EXPECT_EQ(Variant::null().toDouble(), 0.0);
    EXPECT_EQ(Variant::withType(Variant::Error).toText(), QString());
    EXPECT_EQ(Variant::fromDouble(1e300).toDate(), Variant::kDefaultDate);

    // Objects coerce through their own text.
    ScriptHost host;
    EXPECT_EQ(host.Eval(QStringLiteral("[5]")).toDouble(), 5.0);
    EXPECT_EQ(host.Eval(QStringLiteral("({})")).toDouble(), 0.0);
    EXPECT_EQ(host.Eval(QStringLiteral("({toString() { throw 1; }})")).toText(), QString());
}
