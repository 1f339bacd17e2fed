// Which encoding a script's bytes are read in, and that the editor gets every character.

#include "editor/ScriptEncoding.h"

#include <gtest/gtest.h>

#include <QStringEncoder>

namespace {
const QString kHello = QStringLiteral("var s = '你好，世界';");

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}
} // namespace

// A byte-order mark comes first and is dropped; valid UTF-8 is kept byte for byte; then
// the charset the server declared, then the page's own <meta>, then GBK.
TEST(ScriptEncoding, MarkThenUtf8ThenDeclaredCharsetThenMetaThenGbk) {
    QStringEncoder le("UTF-16LE", QStringEncoder::Flag::WriteBom);
    QStringEncoder be("UTF-16BE", QStringEncoder::Flag::WriteBom);
    QStringEncoder big5("Big5");
    const QString withNul = kHello + QChar(0) + QStringLiteral("尾");
    // CR LF, a NUL, four-byte characters: nothing is touched.
    const QByteArray utf8 = QByteArray("a\r\nb\0c", 6) + QStringLiteral("😀中").toUtf8();
    // GB2312 pages regularly hold GBK-only characters; they are read as GBK.
    const QString beyond2312 = QStringLiteral("var 镕 = '堃';");
    const QString page = QStringLiteral("<html><head><META http-equiv=\"Content-Type\" "
                                        "content=\"text/html; charset=Big5\"></head>繁體</html>");
    const QString short5 = QStringLiteral("<meta charset='big5'>繁體");
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray declared;
        QByteArray utf8;
        const char* encoding; // nullptr: not looked at
    } cases[] = {
        {"UTF-8 mark", "\xEF\xBB\xBF" + kHello.toUtf8(), {}, kHello.toUtf8(), "UTF-8"},
        // The mark outranks what the server says.
        {"UTF-16LE mark", le.encode(kHello), "gbk", kHello.toUtf8(), "UTF-16LE"},
        {"UTF-16BE mark", be.encode(withNul), {}, withNul.toUtf8(), "UTF-16BE"},
        {"valid UTF-8", utf8, "gbk", utf8, "UTF-8"},
        {"nothing", {}, {}, {}, nullptr},
        // Without any hint GBK is assumed, NULs and all.
        {"no hint", gbk(kHello) + QByteArray("\0;", 2), QByteArray(),
         (kHello + QChar(0) + QLatin1Char(';')).toUtf8(), "GBK"},
        {"GB2312 declared", gbk(beyond2312), "gb2312", beyond2312.toUtf8(), nullptr},
        {"Big5 declared", big5.encode(QStringLiteral("繁體中文")), "big5",
         QStringLiteral("繁體中文").toUtf8(), "big5"},
        // A page's own <meta> when the server said nothing usable.
        {"meta http-equiv", big5.encode(page), "no-such-charset", page.toUtf8(), nullptr},
        {"meta charset", big5.encode(short5), {}, short5.toUtf8(), nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedScript d = decodeScript(c.bytes, c.declared);
        EXPECT_EQ(d.utf8, c.utf8);
        if (c.encoding) {
            EXPECT_EQ(d.encoding, QByteArray(c.encoding));
        }
    }
}

TEST(ScriptEncoding, MetaCharsetForms) {
    EXPECT_EQ(htmlMetaCharset("<meta charset=\"GBK\">"), QByteArray("gbk"));
    EXPECT_EQ(htmlMetaCharset("<Meta Charset = utf-8 />"), QByteArray("utf-8"));
    EXPECT_EQ(
        htmlMetaCharset("<meta http-equiv='Content-Type' content='text/html;charset=gb2312'>"),
        QByteArray("gb2312"));
    EXPECT_EQ(htmlMetaCharset("var charset = 'gbk'; <metadata>"), QByteArray());
    // Only the head of a page is looked at.
    EXPECT_EQ(htmlMetaCharset(QByteArray(5000, ' ') + "<meta charset=gbk>"), QByteArray());
}

TEST(ScriptEncoding, Utf8DecodeReplacesInvalidSequences) {
    EXPECT_EQ(Utf8Decode(QStringLiteral("中文").toUtf8()), QStringLiteral("中文"));
    // GBK bytes are not UTF-8: each bad sequence shows as U+FFFD, the ASCII survives.
    const QString decoded = Utf8Decode(gbk(QStringLiteral("a你b")));
    EXPECT_TRUE(decoded.startsWith(QLatin1Char('a')));
    EXPECT_TRUE(decoded.endsWith(QLatin1Char('b')));
    EXPECT_TRUE(decoded.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_EQ(Utf8Decode(QByteArray("x\0y", 3)).size(), 3);
    EXPECT_EQ(Utf8Decode("\xEF\xBB\xBF'a'"), QStringLiteral("'a'"));
}

TEST(ScriptEncoding, AlmostUtf8IsNotTakenForUtf8) {
    // Each of these is one step off valid UTF-8; read as GBK, none may pass through as is.
    for (const QByteArray& bad : {QByteArray("\xC0\xAF"),         // overlong "/"
                                  QByteArray("\xED\xA0\x80"),     // a surrogate
                                  QByteArray("\xF4\x90\x80\x80"), // above U+10FFFF
                                  QByteArray("ok\xE4\xBD"),       // cut off at the end
                                  QByteArray("\xE4\x41\x41")}) {  // a bad continuation
        EXPECT_EQ(decodeScript(bad).encoding, QByteArray("GBK")) << bad.toHex().constData();
    }
    EXPECT_EQ(decodeScript("\xF0\x9F\x98\x80\xEF\xBF\xBF").encoding, QByteArray("UTF-8"));
}

TEST(ScriptEncoding, Utf16LabelsOnBytesThatCannotBeUtf16AreIgnored) {
    const QString text = QStringLiteral("var t = '题目';");
    QStringEncoder le("UTF-16LE");
    const QByteArray utf16 = le.encode(text);
    const QByteArray page = gbk(QStringLiteral("<meta charset=\"utf-16\"><script>") + text);
    const struct {
        const char* name;
        QByteArray bytes;
        QByteArray declared;
        QString expected;
    } cases[] = {
        {"8-bit bytes, header utf-16", gbk(text), "utf-16", text},
        {"8-bit bytes, header UTF-16LE", gbk(text), "UTF-16LE", text},
        {"8-bit bytes, header ucs-2", gbk(text), "ucs-2", text},
        {"8-bit bytes with NULs", gbk(text.repeated(10)) + QByteArray(2, '\0'), "utf-16",
         text.repeated(10) + QString(2, QChar(0))},
        {"meta utf-16 in an ASCII page", page, QByteArray(),
         QStringLiteral("<meta charset=\"utf-16\"><script>") + text},
        {"odd length is not UTF-16", utf16 + "\x98", "utf-16le",
         QString::fromUtf8(decodeScript(utf16 + "\x98").utf8)},
        {"real UTF-16 with its label", utf16, "utf-16le", text},
    };
    for (const auto& c : cases) {
        const DecodedScript d = decodeScript(c.bytes, c.declared);
        EXPECT_EQ(QString::fromUtf8(d.utf8), c.expected) << c.name;
        if (QByteArrayView(c.name) != "real UTF-16 with its label") {
            EXPECT_FALSE(d.encoding.startsWith("utf-16")) << c.name;
        }
    }
}
