// vexojs-cli deobfuscate as a user runs it: exit codes, the laid-out result on standard
// output and the history on standard error.

#include "../support/CliProcess.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

namespace {
struct DeobRun {
    int status = -1;
    QString out;
    QString err;
};

DeobRun deobfuscate(const QStringList& args, const QByteArray& input = {}) {
    const CliOutput r = runCli(QStringList{"deobfuscate"} + args, input);
    return {r.status, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}
} // namespace

TEST(CliDeobfuscate, PrintsLaidOutResultAndHistoryOnRequest) {
    const QByteArray packed = "var s='lo'+'g(\"中文\")';eval(s)";
    DeobRun r = deobfuscate({"-"}, packed);
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("var s = \"log(\\\"中文\\\")\";\r\nlog(\"中文\");"));
    EXPECT_TRUE(r.err.isEmpty());

    r = deobfuscate({"--history", "-"}, packed);
    EXPECT_EQ(r.status, 0);
    const QStringList lines = r.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2) << r.err.toStdString();
    EXPECT_TRUE(lines[0].startsWith(
        QStringLiteral("已解除：eval/Function/document.write 包装（32 → 44 字节，")))
        << lines[0].toStdString();
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("已解除：常量折叠（")));

    // Nothing to peel: the text only laid out, an empty history, success.
    r = deobfuscate({"--history", "-"}, "var a=1");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("var a = 1"));
    EXPECT_TRUE(r.err.isEmpty());
}

TEST(CliDeobfuscate, TimeoutSkipsTheLayerAndNamesIt) {
    DeobRun r = deobfuscate({"--history", "--timeout", "0.3", "-"},
                            "var a=['x'];function d(i){for(;;){}return a[i];}d(0);");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.contains(QStringLiteral("未能解除：字符串数组（超时，已跳过）")))
        << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("return a[i];")));
}

TEST(CliDeobfuscate, ExitCodes) {
    // Not a script: nothing peels, the text is only laid out.
    DeobRun r = deobfuscate({"-"}, "function (");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("function ("));
    // No code: status 1 and a message, nothing on standard output.
    r = deobfuscate({"-"}, "  \n");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err, QStringLiteral("vexojs-cli deobfuscate: 没有JS代码\n"));
    // Bad arguments and unreadable files: status 2.
    EXPECT_EQ(deobfuscate({"--timeout", "x", "-"}).status, 2);
    EXPECT_EQ(deobfuscate({"--bogus"}).status, 2);
    QTemporaryDir dir;
    EXPECT_EQ(deobfuscate({dir.filePath(QStringLiteral("missing.js"))}).status, 2);
}

TEST(CliDeobfuscate, ScriptOverTheSizeLimitIsRefusedUpFront) {
    // 10.5 MB of plain code: refused at once with the limit, nothing on standard output.
    const DeobRun r = deobfuscate({"-"}, QByteArray("log(1);").leftJustified(21 * 512 * 1024));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_EQ(r.err,
              QStringLiteral("vexojs-cli deobfuscate: 脚本过大（10.5 MB），解密最多支持 10 MB\n"));
}

TEST(CliDeobfuscate, CheckExpressionStatesEquivalenceOverEveryFixtureSet) {
    // One program per obfuscation set: sign() of the hash program gives the same value on
    // the original and after every layer.
    const QDir root(QStringLiteral(VEXO_TEST_DATA "/deob"));
    for (const QString& set : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (set == QLatin1String("programs") || !root.exists(set + QStringLiteral("/hash.js")))
            continue;
        SCOPED_TRACE(set.toStdString());
        const DeobRun r = deobfuscate(
            {"--check", "sign({b: 2, a: 'x'})", root.filePath(set + QStringLiteral("/hash.js"))});
        EXPECT_EQ(r.status, 0);
        // (Encoders run the program through Function: sign is no global of the original.)
        const bool encoded = set == QLatin1String("jsfuck") || set == QLatin1String("aaencode") ||
                             set == QLatin1String("jjencode");
        EXPECT_TRUE(r.err.startsWith(
            encoded ? QStringLiteral("检查 sign({b: 2, a: 'x'})：原脚本上抛出 ReferenceError")
                    : QStringLiteral("检查 sign({b: 2, a: 'x'})：各层结果相同：\"")))
            << r.err.toStdString();
    }
}
