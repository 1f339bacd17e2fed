// vexojs-cli deobfuscate as a user runs it: exit codes, the laid-out result on standard
// output and the history on standard error.

#include "../support/CliProcess.h"
#include "../support/ModuleLink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QMap>
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
        // (Encoders run the program through Function, the nested eval inside a function:
        // sign is no global of the original. A %-escaped script is no script as it stands.)
        const bool encoded = set == QLatin1String("jsfuck") || set == QLatin1String("aaencode") ||
                             set == QLatin1String("jjencode") ||
                             set == QLatin1String("stack-function-global") ||
                             set == QLatin1String("stack-nested-eval");
        const bool text = set == QLatin1String("stack-packed-escaped");
        EXPECT_TRUE(r.err.startsWith(
            text ? QStringLiteral("检查 sign({b: 2, a: 'x'})：原脚本不能单独运行，未检查")
            : encoded ? QStringLiteral("检查 sign({b: 2, a: 'x'})：原脚本上抛出 ReferenceError")
                      : QStringLiteral("检查 sign({b: 2, a: 'x'})：各层结果相同：\"")))
            << r.err.toStdString();
    }
}

TEST(CliDeobfuscate, OutDirWritesModuleFilesThatRunTogetherAsTheBundleDid) {
    // What a script logs, run by vexojs-cli eval with a log() that records.
    const auto logged = [](const QString& script) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("run.js"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("var __out = [], self = this, window = this;"
                "function log(x) { __out.push(String(x)); }\n");
        f.write(script.toUtf8());
        f.close();
        const CliOutput r = runCli({"eval", "--load", path, "__out.join('|')"});
        EXPECT_EQ(r.status, 0) << r.out.toStdString();
        return QString::fromUtf8(r.out);
    };
    const struct {
        const char* bundle;
        QStringList files; // written besides the entry
        const char* entry;
    } cases[] = {
        {"webpack-dev/shop.js", {"cart.js", "format.js", "tax.js"}, "index.js"},
        {"webpack-eval/notes.js",
         {"index.js", "parse.js", "store.js", "text.js", "words.js", "webpack-runtime.js"},
         "entry.js"},
        // (browserify keeps no name for the entry module.)
        {"browserify/shop.js", {"cart.js", "format.js", "tax.js", "module-3.js"}, "index.js"},
        {"esbuild-cjs/shop.js", {"cart.js", "format.js", "tax.js"}, "index.js"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bundle);
        QTemporaryDir out;
        const QString bundle = QStringLiteral(VEXO_TEST_DATA "/deob/") + QLatin1String(c.bundle);
        const DeobRun r = deobfuscate({"--out-dir", out.path(), bundle});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        const QStringList expected = QStringList(c.files) << QString::fromLatin1(c.entry);
        EXPECT_TRUE(r.err.endsWith(QStringLiteral("（入口 %1）\n").arg(c.entry)))
            << r.err.toStdString();
        QMap<QString, QString> files;
        for (const QString& name : expected) {
            QFile f(QDir(out.path()).filePath(name));
            ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << name.toStdString();
            files.insert(name, QString::fromUtf8(f.readAll()));
        }
        QFile original(bundle);
        ASSERT_TRUE(original.open(QIODevice::ReadOnly));
        EXPECT_EQ(logged(linkedModules(files, QString::fromLatin1(c.entry))),
                  logged(QString::fromUtf8(original.readAll())));
    }
    // A script that is no bundle: its result as index.js, and a note.
    QTemporaryDir out;
    const DeobRun r = deobfuscate({"--out-dir", out.path(), "-"}, "eval('log(1)')");
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.err.startsWith(QStringLiteral("未发现打包的模块，结果写入 index.js\n")));
    QFile index(QDir(out.path()).filePath(QStringLiteral("index.js")));
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll(), QByteArray("log(1);"));
    // A folder that cannot be made: status 1 and why.
    EXPECT_EQ(
        deobfuscate({"--out-dir", QStringLiteral("/proc/vexo-no/such"), "-"}, "log(1)").status, 1);
}
