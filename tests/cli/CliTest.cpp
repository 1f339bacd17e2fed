// vexojs-cli as a user runs it: a real process, real files, standard streams.

#include "../support/CliProcess.h"
#include "../support/TestHttpServer.h"

#include "script/DemoScript.h"
#include "script/TextCodec.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringEncoder>
#include <QTemporaryDir>

namespace {
struct CliRun {
    int status = -1;
    QString out;
    QString err;
};

CliRun cli(const QStringList& args, const QByteArray& input = {}) {
    const CliOutput r = runCli(args, input);
    return {r.status, QString::fromUtf8(r.out), QString::fromUtf8(r.err)};
}

struct Files {
    QTemporaryDir dir;
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    }
    QString demo() {
        return write(QStringLiteral("demo.js"), convertEncoding(demoScriptGbk(), "GBK", "UTF-8"));
    }
};
} // namespace

TEST(CliEval, PrintsTheOutputPaneLines) {
    Files files;
    CliRun r = cli({"eval", "--load", files.demo(), "OXOX(\"a\",1,\"b\")"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, QStringLiteral("-->代码加载成功\n-->返回类型：文本型\n-->计算结果：a1b\n"));

    // Several files load into one engine, in order.
    const QString second =
        files.write(QStringLiteral("b.js"), "function Pair(a) { this.first = OXOX(a, 0, a); }\n"
                                            "Pair.prototype.sum = function (x) { return x; };");
    r = cli({"eval", "--load", files.demo(), "--load", second, "new Pair('z')"});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral(
        "-->代码加载成功\n-->返回类型：对象型\n数组长度(length)--->0\n对象类型名称:Pair")))
        << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("方法:sum\n参数<1>x\n参数数量:1\n")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("属性:first\n")));

    // An engine error sets status 1.
    const QString broken = files.write(QStringLiteral("bad.js"), "var a = ;");
    r = cli({"eval", "--load", broken, "a"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.startsWith(QStringLiteral("-->发生错误：错误号=1002\n")));
}

// What a batch job relies on: the status says whether a value was made or the arguments
// were wrong, a stopped listing is an error, each message is one line, a huge value costs no more
// than the conversion cap, lines are cut only when asked, and no character is printed as another.
TEST(CliEval, StatusAndOutputOfHardCases) {
    Files files;
    const QString empty = files.write(QStringLiteral("empty.js"), "");
    const QString code = files.write(QStringLiteral("code.js"), "var loaded = 1;");
    const QString cap = QStringLiteral("…（共 67108864 字符）\n");
    const QString spin = files.write(QStringLiteral("spin.js"),
                                     "var loaded = 1; setTimeout(function () { for (;;) {} }, 5);");
    const QString logs = files.write(
        QStringLiteral("logs.js"),
        "var t0 = Date.now(); console.log('load a\\nb');"
        "setTimeout(function () { console.warn('timer', Date.now() - t0 >= 1000); }, 1000);"
        "Promise.resolve().then(function () { console.log('then'); });");
    const QString demo = files.demo();
    const QString stopped =
        QStringLiteral("-->发生错误：错误号=5100\n-->错误描述：脚本运行已被用户中止\n");
    const struct {
        const char* what;
        QStringList args;
        int status;
        QString out = {};      // the whole output, or
        QString contains = {}; // a part of it, or
        QString ends = {};     // its end
        QByteArray input = {};
        bool errorSaid = false; // something on standard error, nothing on standard output
    } cases[] = {
        {.what = "no file",
         .args = {"eval", "1+1"},
         .status = 1,
         .out = QStringLiteral("-->计算出错：代码未加载\n")},
        {.what = "empty file",
         .args = {"eval", "--load", empty, "1"},
         .status = 1,
         .out = QStringLiteral("-->代码加载失败，请检查代码内容\n-->计算出错：代码未加载\n")},
        {.what = "length getter that never returns",
         .args = {"eval", "--timeout", "1", "--load", code, "({get length(){while(1){}}})"},
         .status = 1,
         .contains = stopped},
        {.what = "toString that never returns inside an element",
         .args = {"eval", "--timeout", "1", "--load", code, "[{toString(){while(1){}}},2]"},
         .status = 1,
         .contains = QStringLiteral("数组长度(length)--->2\n……（脚本运行已被用户中止，错误号=5100，"
                                    "其余 2 项未列出）\n")},
        {.what = "a date whose value never comes",
         .args = {"eval", "--timeout", "1", "--load", code,
                  "var d = new Date(); d.valueOf = function () { for (;;) {} }; d"},
         .status = 1,
         .contains = QStringLiteral("-->发生错误：错误号=5100\n")},
        {.what = "a promise job that never returns is the job's stop, never a value",
         .args = {"eval", "--timeout", "1", "--load", code,
                  "(Promise.resolve().then(function(){while(true){}}), 'abc')"},
         .status = 1,
         .contains = stopped},
        {.what = "a timer that never returns stops the load",
         .args = {"eval", "--timeout", "1", "--load", spin, "loaded"},
         .status = 1,
         .out = stopped + QStringLiteral("-->错误代码：\n-->错误位置：0行0字符处\n"
                                         "-->返回类型：数值型\n-->计算结果：1\n")},
        {.what = "an endless evaluation",
         .args = {"eval", "--load", demo, "--timeout", "1", "while(true){}"},
         .status = 1,
         .contains = stopped,
         .ends = QStringLiteral("-->返回类型：空\n-->该类型结果此版本不支持\n")},
        {.what = "console lines in order with the report, line breaks shown as escapes",
         .args = {"eval", "--load", logs,
                  "(console.log('eval'), setTimeout(() => console.log('t'), 9), 2)"},
         .status = 0,
         .out =
             QStringLiteral("-->console.log：load a\\nb\n-->console.log：then\n"
                            "-->console.warn：timer true\n-->代码加载成功\n-->console.log：eval\n"
                            "-->console.log：t\n-->返回类型：数值型\n-->计算结果：2\n")},
        // Each message is one line: a line break and a NUL inside a value, or a line break
        // in an error's text, are shown as escapes.
        {.what = "a line break and a NUL in a value",
         .args = {"eval", "--load", demo, "'a\\nb' + String.fromCharCode(0) + 'c'"},
         .status = 0,
         .out = QStringLiteral("-->代码加载成功\n-->返回类型：文本型\n-->计算结果：a\\nb\\0c\n")},
        {.what = "a line break in an error",
         .args = {"eval", "--load", demo, "throw new Error('two\\nlines')"},
         .status = 1,
         .contains = QStringLiteral("\n-->错误描述：two\\nlines\n")},
        {.what = "lines cut on request",
         .args = {"eval", "--max-line", "10", "--load", code, "'abcdefghijklmnop'"},
         .status = 0,
         .out = QStringLiteral("-->代码加载成功\n-->返回类型：文本…（共 11 字符）\n"
                               "-->计算结果：ab…（共 24 字符）\n")},
        {.what = "a line limit that is no number",
         .args = {"eval", "--max-line", "0", "1"},
         .status = 2},
        {.what = "no expression", .args = {"eval"}, .status = 2},
        {.what = "a time-out that is no number",
         .args = {"eval", "--timeout", "soon", "1"},
         .status = 2},
        {.what = "an unreadable file",
         .args = {"eval", "--load", "/no/such/file.js", "1"},
         .status = 2,
         .errorSaid = true},
        {.what = "an unknown command", .args = {"frobnicate"}, .status = 2},
        {.what = "lone surrogates in a result",
         .args = {"eval", "--load", code, "'a\\ud800b\\udc00c\\ud83d\\ude00'"},
         .status = 0,
         .contains = QStringLiteral("-->计算结果：a\\ud800b\\udc00c\U0001F600\n")},
        {.what = "lone surrogate decoded",
         .args = {"decode", "usc"},
         .status = 0,
         .out = QStringLiteral("x\\udbff!"),
         .input = "x\\udbff!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliRun r = cli(c.args, c.input);
        EXPECT_EQ(r.status, c.status) << r.err.toStdString();
        if (!c.out.isNull()) {
            EXPECT_EQ(r.out, c.out);
        }
        if (!c.contains.isNull()) {
            EXPECT_TRUE(r.out.contains(c.contains)) << r.out.left(2000).toStdString();
        }
        if (!c.ends.isNull()) {
            EXPECT_TRUE(r.out.endsWith(c.ends)) << r.out.right(2000).toStdString();
        }
        if (c.errorSaid) {
            EXPECT_FALSE(r.err.isEmpty());
            EXPECT_TRUE(r.out.isEmpty());
        }
    }
    // A value beyond the conversion cap keeps exactly the cap's characters and says its
    // whole length; the rest is never copied out of the engine.
    const CliRun big = cli({"eval", "--timeout", "5", "--load", code, "'x'.repeat(2**26)"});
    EXPECT_EQ(big.status, 0);
    const QString line = QStringLiteral("-->计算结果：") + QString(16 * 1024 * 1024, u'x') + cap;
    EXPECT_TRUE(big.out.endsWith(line)) << big.out.size();
}

// --fixed SEED[,START]: the same seed and start give the same time and random numbers,
// so a signature made from them can be made again; another seed gives others.
TEST(CliEval, FixedTimeAndRandomRepeatASignature) {
    Files files;
    const QString sign = files.write(
        QStringLiteral("sign.js"),
        "var sig = ''; setTimeout(function () { sig = Date.now() + ':' + Math.random(); }, 250);");
    auto value = [&](const char* fixed) {
        const CliRun r = cli({"eval", "--fixed", fixed, "--load", sign, "sig"});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return r.out;
    };
    const QString first = value("42,2024-05-01T08:00:00Z");
    EXPECT_TRUE(first.contains(QStringLiteral("-->计算结果：1714550400250:0.")))
        << first.toStdString();
    const struct {
        const char* fixed;
        bool same;
    } cases[] = {{"42,1714550400000", true}, {"43,1714550400000", false}, {"42", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixed);
        EXPECT_EQ(value(c.fixed) == first, c.same);
    }
    for (const char* bad : {"x", "1,soon", "1,2,3"})
        EXPECT_EQ(cli({"eval", "--fixed", bad, "1"}).status, 2) << bad;
}

TEST(CliTools, FormatMinifyUnpackLikeTheButtons) {
    Files files;
    const QString script =
        files.write(QStringLiteral("s.js"), "function f(a){return a+1}\nvar 名字='值';");
    CliRun r = cli({"format", script});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out,
              QStringLiteral("function f(a) {\r\n    return a + 1\r\n}\r\nvar 名字 = '值';"));
    // Standard input, explicitly or by default.
    EXPECT_EQ(cli({"format", "-"}, "a=1").out, QStringLiteral("a = 1"));
    EXPECT_EQ(cli({"minify"}, "// c\nvar a = 1 ;\nvar b = 2;").out,
              QStringLiteral("var a=1;var b=2;"));
    EXPECT_EQ(cli({"unpack"}, "var%20a%3D1").out, QStringLiteral("var a = 1"));

    r = cli({"minify"}, "var s = 'open");
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("unterminated string literal")));
    EXPECT_EQ(cli({"format", "/no/such.js"}).status, 2);
    EXPECT_EQ(cli({"format", "a.js", "b.js"}).status, 2);
}

TEST(CliTools, ATimeOutIsReportedAsOne) {
    const QByteArray big = "var x = [" + QByteArray("1,").repeated(3000000) + "1];";
    const struct {
        const char* tool;
        const char* timeout;
        QByteArray input;
    } cases[] = {
        {"unpack", "0.5", "eval(function(p,a,c,k,e,r){while(1){}}(0,0,0,[],0,{}))"},
        {"format", "0.1", big},
        {"minify", "0.1", big},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tool);
        const CliRun r = cli({c.tool, "--timeout", c.timeout, "-"}, c.input);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_TRUE(r.err.contains(QStringLiteral("超时"))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("中止"))) << r.err.toStdString();
    }
}

TEST(CliInput, WebAddressesAndEncodingsReadAsTheWindowReadsThem) {
    TestHttpServer server;
    QStringEncoder toGbk("GBK");
    const QByteArray gbkScript = toGbk.encode(QStringLiteral("function f(a){return '中文'+a}"));
    server.route("/gbk.js", TestResponse::text(gbkScript, "text/javascript; charset=GBK"));
    server.route("/moved.js", TestResponse::redirect("/gbk.js"));
    const QString formatted = QStringLiteral("function f(a) {\r\n    return '中文' + a\r\n}");

    CliRun r = cli({"format", server.url("/gbk.js")});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, formatted);
    EXPECT_EQ(cli({"format", server.url("/moved.js")}).out, formatted);
    EXPECT_EQ(cli({"minify", server.url("/gbk.js")}).out,
              QStringLiteral("function f(a){return'中文'+a}"));
    r = cli({"eval", "--load", server.url("/gbk.js"), "f(1)"});
    EXPECT_EQ(r.out, QStringLiteral("-->代码加载成功\n-->返回类型：文本型\n-->计算结果：中文1\n"));

    // A local GBK file and GBK on standard input are read as GBK too.
    Files files;
    EXPECT_EQ(cli({"format", files.write(QStringLiteral("g.js"), gbkScript)}).out, formatted);
    EXPECT_EQ(cli({"format"}, gbkScript).out, formatted);

    // An address that fails: status 2, the reason, nothing on standard output.
    r = cli({"format", server.url("/missing.js")});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
    EXPECT_TRUE(r.err.contains(QStringLiteral("HTTP 404"))) << r.err.toStdString();
    r = cli({"eval", "--load", server.url("/missing.js"), "1"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.isEmpty());
}

TEST(CliInput, EndlessInputsAndSlowServersEndWithAReason) {
    TestHttpServer server;
    TestResponse drip = TestResponse::text(QByteArray(400, ' ')); // a byte every 20 ms
    drip.pieceBytes = 1;
    drip.pieceDelayMs = 20;
    server.route("/drip.js", drip);
    const QString cliPath = QStringLiteral(VEXO_BUILD_DIR "/vexojs-cli");
    const struct {
        QStringList args; // run by sh, the CLI as $0
        const char* error;
    } cases[] = {
        {{"\"$0\" format /dev/zero"}, "无法读取文件 /dev/zero：内容超过 64 MiB 上限"},
        {{"yes | \"$0\" format -"}, "无法读取标准输入：内容超过 64 MiB 上限"},
        {{"\"$0\" decode base64 - < /dev/zero"}, "无法读取标准输入：内容超过 64 MiB 上限"},
        {{"\"$0\" format --max-time 0.3 " + server.url("/drip.js")}, "读取超时：0.3 秒内没有读完"},
        {{"\"$0\" format --max-time soon x.js"}, "--max-time 需要一个正数（秒），而不是 soon"},
    };
    for (const auto& c : cases) {
        QProcess p;
        p.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), c.args.join(' '), cliPath});
        ASSERT_TRUE(p.waitForFinished(60000)) << c.args.join(' ').toStdString();
        const QString err = QString::fromUtf8(p.readAllStandardError());
        EXPECT_EQ(p.exitCode(), 2) << c.args.join(' ').toStdString();
        EXPECT_TRUE(err.contains(QString::fromUtf8(c.error))) << err.toStdString();
        EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    }
}
