// vexojs-cli eval with scripted breakpoints and call tracing, as a batch job runs it.

#include "../support/CliProcess.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

TEST(CliDebug, BreakOnBreakAndTrace) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("t.js"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("function add(a, b) {\n"
                "  var s = a + b;\n"
                "  return s;\n"
                "}\n"
                "function fact(n) {\n"
                "  if (n < 0) throw new Error('neg');\n"
                "  return n <= 1 ? 1 : n * fact(n - 1);\n"
                "}\n"
                "var total = 0;\n"
                "for (var i = 0; i < 3; i++) total = add(total, i);\n"
                "function many() { var k = 0; for (var j = 0; j < 100000; j++) k = add(k, 1); "
                "return k; }\n");
    }
    const struct {
        const char* what;
        QStringList args;
        int status;
        QString out; // a part of standard output
        QString err; // a part of standard error
    } cases[] = {
        {"values at each hit where the condition holds",
         {"--break", "t.js:2:a == 1", "--on-break", "a * 100", "--on-break", "b", "1"},
         0,
         QStringLiteral(
             "-->断点 t.js:2：a * 100 = 100\n-->断点 t.js:2：b = 2\n-->代码加载成功\n-->返回类型"),
         {}},
        {"a plain break reports each hit, also during the evaluation",
         {"--break", path + ":3", "add(5, 6)"},
         0,
         QStringLiteral("-->断点 %1:3\n-->断点 %1:3\n-->断点 %1:3\n-->代码加载成功\n"
                        "-->断点 %1:3\n-->返回类型：数值型\n-->计算结果：11\n")
             .arg(path),
         {}},
        {"the call tree with arguments, returns and a throw",
         {"--trace", "fact", "try { fact(2) + fact(-1) } catch (e) { 0 }"},
         0,
         QStringLiteral("-->计算结果：0\n"),
         QStringLiteral("fact(2) → 2\n  fact(1) → 1\nfact(-1) 抛出 Error: neg\n")},
        {"calls during the load are traced too",
         {"--trace", "add", "total"},
         0,
         QStringLiteral("-->计算结果：3\n"),
         QStringLiteral("add(0, 0) → 0\nadd(0, 1) → 1\nadd(1, 2) → 3\n")},
        {"a hundred thousand calls keep the first ones and count the rest",
         {"--trace", "add,many", "many()"},
         0,
         QStringLiteral("-->计算结果：100000\n"),
         QStringLiteral("  add(4998, 1) → 4999\n…另有 95001 次调用未记录\n")},
        {"a break in a file that is not loaded",
         {"--break", "other.js:1", "1"},
         2,
         {},
         QStringLiteral("--break other.js:1")},
        {"--on-break before any --break",
         {"--on-break", "x", "1"},
         2,
         {},
         QStringLiteral("--on-break")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const CliOutput r = runCli(QStringList{"eval", "--load", path} + c.args, {});
        const QString out = QString::fromUtf8(r.out);
        const QString err = QString::fromUtf8(r.err);
        EXPECT_EQ(r.status, c.status) << err.toStdString();
        EXPECT_TRUE(out.contains(c.out)) << out.toStdString();
        EXPECT_TRUE(err.contains(c.err)) << err.toStdString();
    }
}

// A scripted breakpoint is reached on every kind of line, and a text the debugger runs
// reports its errors where they are in the file.
TEST(CliDebug, BreakReachesEveryKindOfLine) {
    const struct {
        const char* what;
        const char* code;
        const char* place; // FILE:LINE
        QString out;       // a part of standard output
    } cases[] = {
        {"a top-level line of literals", "var a = 1;\nvar b = 2;\nvar c = 3;\n", "t.js:2",
         QStringLiteral("-->断点 t.js:2：a = 1\n-->代码加载成功")},
        {"a line in a block", "var a = 1;\nif (a) {\n  a = 5;\n}\n", "t.js:3",
         QStringLiteral("-->断点 t.js:3：a = 1\n")},
        {"a line in a function", "function f(a) {\n  return a;\n}\nf(4);\n", "t.js:2",
         QStringLiteral("-->断点 t.js:2：a = 4\n")},
        {"a line in an arrow in a const", "const g = (a) =>\n  a * 2;\ng(3);\n", "t.js:2",
         QStringLiteral("-->断点 t.js:2：a = 3\n")},
        {"the last line, without a line end", "var a = 1;\nvar b = 2;", "t.js:2",
         QStringLiteral("-->断点 t.js:2：a = 1\n")},
        {"a script naming itself", "var a = 6;\nvar b = 2;\n//# sourceURL=page.js\n", "t.js:2",
         QStringLiteral("-->断点 t.js:2：a = 6\n")},
        {"a text that ends too early", "var a = 1;\nvar b = (", "t.js:1",
         QStringLiteral("-->错误代码：var b = (\n-->错误位置：2行0字符处\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("t.js"));
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(c.code);
        }
        const CliOutput r = runCli({"eval", "--load", path, "--break", QString::fromLatin1(c.place),
                                    "--on-break", "a", "1"},
                                   {});
        const QString out = QString::fromUtf8(r.out);
        EXPECT_TRUE(out.contains(c.out))
            << out.toStdString() << QString::fromUtf8(r.err).toStdString();
    }
}
