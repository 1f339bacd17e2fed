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

TEST(ScriptEncoding, ByteOrderMarksComeFirstAndAreDropped) {
    DecodedScript d = decodeScript("\xEF\xBB\xBF" + kHello.toUtf8());
    EXPECT_EQ(d.utf8, kHello.toUtf8());
    EXPECT_EQ(d.encoding, QByteArray("UTF-8"));

    QStringEncoder le("UTF-16LE", QStringEncoder::Flag::WriteBom);
    d = decodeScript(le.encode(kHello), "gbk"); // the mark outranks what the server says
    EXPECT_EQ(d.utf8, kHello.toUtf8());
    EXPECT_EQ(d.encoding, QByteArray("UTF-16LE"));

    QStringEncoder be("UTF-16BE", QStringEncoder::Flag::WriteBom);
    d = decodeScript(be.encode(kHello + QChar(0) + QStringLiteral("尾")));
    EXPECT_EQ(d.utf8, (kHello + QChar(0) + QStringLiteral("尾")).toUtf8());
    EXPECT_EQ(d.encoding, QByteArray("UTF-16BE"));
}

TEST(ScriptEncoding, ValidUtf8IsKeptByteForByte) {
    // CR LF, a NUL, four-byte characters: nothing is touched.
    const QByteArray bytes = QByteArray("a\r\nb\0c", 6) + QStringLiteral("😀中").toUtf8();
    const DecodedScript d = decodeScript(bytes, "gbk");
    EXPECT_EQ(d.utf8, bytes);
    EXPECT_EQ(d.encoding, QByteArray("UTF-8"));
    EXPECT_EQ(decodeScript({}).utf8, QByteArray());
}

TEST(ScriptEncoding, DeclaredCharsetThenMetaThenGbk) {
    // Without any hint GBK is assumed, NULs and all.
    const QByteArray plain = gbk(kHello) + QByteArray("\0;", 2);
    DecodedScript d = decodeScript(plain);
    EXPECT_EQ(d.utf8, (kHello + QChar(0) + QLatin1Char(';')).toUtf8());
    EXPECT_EQ(d.encoding, QByteArray("GBK"));

    // GB2312 pages regularly hold GBK-only characters; they are read as GBK.
    const QString beyond2312 = QStringLiteral("var 镕 = '堃';");
    d = decodeScript(gbk(beyond2312), "gb2312");
    EXPECT_EQ(d.utf8, beyond2312.toUtf8());

    // Big5 named by the server is honoured.
    QStringEncoder big5("Big5");
    d = decodeScript(big5.encode(QStringLiteral("繁體中文")), "big5");
    EXPECT_EQ(d.utf8, QStringLiteral("繁體中文").toUtf8());
    EXPECT_EQ(d.encoding, QByteArray("big5"));

    // A page's own <meta> when the server said nothing usable.
    const QString page = QStringLiteral("<html><head><META http-equiv=\"Content-Type\" "
                                        "content=\"text/html; charset=Big5\"></head>繁體</html>");
    d = decodeScript(big5.encode(page), "no-such-charset");
    EXPECT_EQ(d.utf8, page.toUtf8());
    const QString short5 = QStringLiteral("<meta charset='big5'>繁體");
    EXPECT_EQ(decodeScript(big5.encode(short5)).utf8, short5.toUtf8());
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
        {"meta utf-16 in an ASCII page",
         page,
         {},
         QStringLiteral("<meta charset=\"utf-16\">"
                        "<script>") +
             text},
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
