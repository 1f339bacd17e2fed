// The decoder window's four decodings and the E snippet, on real bytes and a real engine.

#include "script/TextCodec.h"
#include "tools/ByteDecoders.h"
#include "tools/Decode.h"
#include "tools/ESnippet.h"
#include "tools/UnescapeText.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {
QByteArray bytes(const char* text) {
    return QByteArray(text);
}
template <size_t N> QByteArray raw(const char (&text)[N]) {
    return QByteArray(text, N - 1); // keeps NULs inside the literal
}
QString unescaped(const QString& text) {
    const ToolResult r = UnescapeText(text);
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    return r.text;
}
} // namespace

TEST(UrlDecode, EscapesDigitsAndMalformedEscapes) {
    EXPECT_EQ(UrlDecode("%41%2b%2B"), bytes("A++")); // either letter case
    EXPECT_EQ(UrlDecode("a+b c"), bytes("a+b c"));   // "+" is no space here
    EXPECT_EQ(UrlDecode("x%4"), bytes("x\x40"));     // a missing digit counts as 0
    EXPECT_EQ(UrlDecode("%zz"), bytes("\xDE"));      // 16 * -2 + -2, low eight bits
    EXPECT_EQ(UrlDecode("%g1"), bytes("\xE1"));      // -32 + 1
    EXPECT_EQ(UrlDecode("50%"), bytes("50"));        // a final "%" escapes nothing
    EXPECT_EQ(UrlDecode("a%00b%0"), raw("a\0b\0"));  // a NUL is data, not an end
    EXPECT_EQ(UrlDecode(""), QByteArray());
    // Percent-encoded GBK and UTF-8 both become their bytes; shown as text they read right.
    EXPECT_EQ(bytesAsText(UrlDecode("%D6%D0%CE%C4")), QStringLiteral("中文"));
    EXPECT_EQ(bytesAsText(UrlDecode("%E4%B8%AD%E6%96%87")), QStringLiteral("中文"));
    EXPECT_EQ(UrlDecode(QStringLiteral("中%41").toUtf8()), QStringLiteral("中A").toUtf8());
}

TEST(Base64Decode, GroupsPaddingAndMissingCharacters) {
    EXPECT_EQ(Base64Decode("QQ=="), bytes("A"));
    EXPECT_EQ(Base64Decode("QUI="), bytes("AB"));
    EXPECT_EQ(Base64Decode("QUJD"), bytes("ABC"));
    EXPECT_EQ(Base64Decode("QQ"), bytes("A")); // missing characters count as padding
    EXPECT_EQ(Base64Decode("QUI"), bytes("AB"));
    EXPECT_EQ(Base64Decode(""), QByteArray());
    EXPECT_EQ(Base64Decode("5Lit5paH"), QStringLiteral("中文").toUtf8());
    // Zero bytes and bytes that are no text are kept, every one of them.
    EXPECT_EQ(Base64Decode("AAAA"), raw("\0\0\0"));
    EXPECT_EQ(Base64Decode("AEEA/w=="), raw("\0A\0\xFF"));
}

TEST(Decoders, UndoTheStandardEncodingsOfEveryByte) {
    for (int length = 0; length <= 300; ++length) {
        QByteArray data(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            data[i] = char((i * 37 + length) & 0xFF);
        EXPECT_EQ(Base64Decode(data.toBase64()), data) << length;
        EXPECT_EQ(Base64Decode(data.toBase64(QByteArray::OmitTrailingEquals)), data) << length;
        EXPECT_EQ(UrlDecode(data.toPercentEncoding()), data) << length;
    }
}

TEST(Base64Decode, SpacesAndLineBreaksAreSkipped) {
    EXPECT_EQ(Base64Decode("QUJD\r\nQUJD"), bytes("ABCABC"));
    EXPECT_EQ(Base64Decode("QUJD\nQUJD\n"), bytes("ABCABC")); // LF line ends, as a text box gives
    EXPECT_EQ(Base64Decode("QU JD"), bytes("ABC"));
    EXPECT_EQ(Base64Decode(QStringLiteral("QU\u3000JD").toUtf8()), bytes("ABC"));
    // A long text wrapped at 76 columns.
    QByteArray wrapped;
    const QByteArray encoded = QByteArray(3000, 'x').toBase64();
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        wrapped += encoded.mid(i, 76) + "\r\n";
    EXPECT_EQ(Base64Decode(wrapped), QByteArray(3000, 'x'));
}

TEST(Base64Decode, StrayCharactersFollowTheGroupRules) {
    // A lone CR stands in a slot and stops that group: the output after it is garbage
    // computed by the rules, and nothing is lost before it.
    const QByteArray out = Base64Decode("QUJD\rQUJD");
    EXPECT_TRUE(out.startsWith("ABC"));
    // "=" in the last group drops the bytes it stands for, never below empty.
    EXPECT_EQ(Base64Decode("===="), QByteArray());
    EXPECT_EQ(Base64Decode("Q==="), QByteArray());
}

TEST(Utf8DecodeText, UndoesUtf8ShownAsGbk) {
    EXPECT_EQ(Utf8DecodeText(QStringLiteral("浣犲ソ")), QStringLiteral("你好"));
    EXPECT_EQ(Utf8DecodeText(QStringLiteral("abc")), QStringLiteral("abc"));
    // GBK bytes that are no UTF-8 become replacement characters, not a shorter text.
    EXPECT_EQ(Utf8DecodeText(QStringLiteral("中")), QString(2, QChar(0xFFFD)));
}

TEST(BytesAsText, Utf8WhenValidElseGbk) {
    EXPECT_EQ(bytesAsText(QStringLiteral("中文 ok").toUtf8()), QStringLiteral("中文 ok"));
    EXPECT_EQ(bytesAsText("\xD6\xD0\xCE\xC4"), QStringLiteral("中文"));
    EXPECT_EQ(bytesAsText(raw("a\0b")), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(bytesAsText("\xEF\xBB\xBFx"), QString(QChar(0xFEFF)) + u'x');
    EXPECT_EQ(bytesAsText(QByteArray()), QString());
}

TEST(UnescapeText, LiteralAndPercentEscapes) {
    EXPECT_EQ(unescaped(QStringLiteral("\\u4f60\\u597d")), QStringLiteral("你好"));
    EXPECT_EQ(unescaped(QStringLiteral("%u4F60%u597D")), QStringLiteral("你好"));
    EXPECT_EQ(unescaped(QStringLiteral("\\x41%42\\t\\\\")), QStringLiteral("AB\t\\"));
    EXPECT_EQ(unescaped(QStringLiteral("a\\x00b")), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(unescaped(QString()), QString());
}

TEST(UnescapeText, LineBreaksQuotesAndTrailingBackslashAreSafe) {
    EXPECT_EQ(unescaped(QStringLiteral("\\u4f60\n\\u597d\r\nend")),
              QStringLiteral("你\n好\r\nend"));
    EXPECT_EQ(unescaped(QStringLiteral("it's")), QStringLiteral("it's"));
    EXPECT_EQ(unescaped(QStringLiteral("\\'quoted\\'")), QStringLiteral("'quoted'"));
    EXPECT_EQ(unescaped(QStringLiteral("ends in \\")), QStringLiteral("ends in \\"));
    EXPECT_EQ(unescaped(QStringLiteral("ends in \\\\")), QStringLiteral("ends in \\"));
    // A backslash before a line break continues the line, as in a script.
    EXPECT_EQ(unescaped(QStringLiteral("a\\\nb\\\r\nc")), QStringLiteral("abc"));
    // Nothing of the text can end the literal and run as code.
    EXPECT_EQ(unescaped(QStringLiteral("');throw 1;('")), QStringLiteral("');throw 1;('"));
}

TEST(UnescapeText, MalformedEscapeGivesTheEnginesMessage) {
    const ToolResult r = UnescapeText(QStringLiteral("\\u12zz"));
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_TRUE(r.text.isEmpty());
    // The engine instance was private: the next decoding starts afresh.
    EXPECT_EQ(unescaped(QStringLiteral("\\u0041")), QStringLiteral("A"));
}

TEST(Decode, TextKindsReadAndWriteUtf8) {
    EXPECT_EQ(Decode(DecodeKind::Usc, "\\u4f60\\u597d\n").bytes, QStringLiteral("你好\n").toUtf8());
    EXPECT_EQ(Decode(DecodeKind::Utf8, QStringLiteral("浣犲ソ").toUtf8()).bytes,
              QStringLiteral("你好").toUtf8());
    const DecodeResult bad = Decode(DecodeKind::Usc, "\\xZZ");
    EXPECT_FALSE(bad.ok);
    EXPECT_FALSE(bad.error.isEmpty());
    EXPECT_EQ(decodeKindFromName(QStringLiteral("base64")), DecodeKind::Base64);
    EXPECT_FALSE(decodeKindFromName(QStringLiteral("Base64")));
}

TEST(ESnippet, ThirteenLinesByteExact) {
    const QByteArray head =
        ".版本 2\r\n"
        "\r\n"
        ".子程序 JS取值, 变体型, , "
        "代码由VexoJS调试工具生成,默认返回值变体型，如果请自行获取需要的类型\r\n"
        ".局部变量 script, 对象\r\n"
        ".局部变量 result, 变体型\r\n"
        "\r\n"
        "'如果需要多线程请在这里初始化com库\r\n"
        "script.创建 (“scriptcontrol”, )\r\n"
        "script.写属性 (“Language”, “JScript”)\r\n"
        "script.数值方法 (“AddCode”, “此处填入为JS常量”)\r\n"
        "result ＝ script.通用方法 (“Eval”, “";
    const QByteArray tail = "”)'此处的表达式如果比较复杂建议使用常量,或者改用Run方法\r\n"
                            "'如果需要多多线程请在这里卸载com\r\n"
                            "返回 (result)‘返回变体类型 如果是文本可以取文本，如果是数值可以取数值";
    EXPECT_EQ(MakeESnippet(QString()).toUtf8(), head + tail);
    const QString expression = QStringLiteral("f(“x”,\r\n'y')");
    EXPECT_EQ(MakeESnippet(expression).toUtf8(), head + expression.toUtf8() + tail);

    // The full-width characters are the template's own, not look-alike ASCII.
    const QString empty = MakeESnippet(QString());
    EXPECT_EQ(empty.split(QStringLiteral("\r\n")).size(), 13);
    for (char16_t c : {u'\u201C', u'\u201D', u'\uFF1D', u'\u2018', u'\uFF0C'})
        EXPECT_TRUE(empty.contains(QChar(c))) << int(c);
    EXPECT_FALSE(empty.endsWith(QStringLiteral("\r\n")));
}
