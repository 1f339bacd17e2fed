// vexojs-cli decode: a real process, bytes in from a file or standard input, bytes out.

#include "../support/CliProcess.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {
struct DecodeRun {
    int status = -1;
    QByteArray out;
    QString err;
};

DecodeRun decode(const QStringList& args, const QByteArray& input = {}) {
    const CliOutput r = runCli(QStringList{"decode"} + args, input);
    return {r.status, r.out, QString::fromUtf8(r.err)};
}
} // namespace

TEST(CliDecode, EachKindFromStandardInput) {
    DecodeRun r = decode({"usc"}, "\\u4f60\\u597d %u4F60\n'it\\'s'\n");
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("你好 你\n'it's'\n").toUtf8());

    r = decode({"utf8", "-"}, QStringLiteral("浣犲ソ").toUtf8());
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("你好").toUtf8());

    // Bytes out exactly: a NUL, a GBK pair and a byte that is no text.
    r = decode({"url"}, "%41%2b%00%D6%D0%zz");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QByteArray("A+\0\xD6\xD0\xDE", 6));

    r = decode({"base64"}, "AEEA\n/w==\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QByteArray("\0A\0\xFF", 4));
}

TEST(CliDecode, FromAFileAndFailures) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("in.txt"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("QUJD\r\nQQ");
    f.close();
    DecodeRun r = decode({"base64", path});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QByteArray("ABCA"));

    r = decode({"usc"}, "bad \\u12 escape");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("vexojs-cli decode: "))) << r.err.toStdString();

    EXPECT_EQ(decode({"rot13"}).status, 2);
    EXPECT_EQ(decode({}).status, 2);
    EXPECT_EQ(decode({"url", "--what"}).status, 2);
    EXPECT_EQ(decode({"url", dir.filePath(QStringLiteral("missing"))}).status, 2);
}
