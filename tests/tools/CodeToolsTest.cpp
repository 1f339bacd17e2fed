// The carried beautifier, minifier and unpacker on the real engine: every transformed
// fixture must compute what the original computed.

#include "../support/StopAtOnce.h"

#include "engine/JsConvert.h"
#include "engine/ScriptThread.h"
#include "script/ScriptHost.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {
QString readFixture(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

QStringList fixtures(const QString& folder, const QString& pattern = QStringLiteral("*.js")) {
    QStringList paths;
    const QDir dir(QStringLiteral(VEXO_TEST_DATA "/tools/") + folder);
    for (const QString& name : dir.entryList({pattern}, QDir::Files, QDir::Name))
        if (!name.endsWith(QLatin1String(".expected.js")))
            paths << dir.filePath(name);
    return paths;
}

// What a script computes: its __result() in a fresh engine, or the engine's error.
QString resultOf(const QString& code) {
    ScriptHost host;
    host.AddCode(code);
    if (host.Error().number != 0)
        return QStringLiteral("load error: ") + host.Error().description;
    const Variant v = host.Eval(QStringLiteral("__result()"));
    if (host.Error().number != 0)
        return QStringLiteral("run error: ") + host.Error().description;
    return v.toText();
}
} // namespace

TEST(Beautifier, KeepsWhatEveryFixtureComputesAndIsIdempotent) {
    const QStringList paths = fixtures(QString());
    ASSERT_GE(paths.size(), 10);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QString source = readFixture(path);
        const QString expected = resultOf(source);
        ASSERT_FALSE(expected.startsWith(QLatin1String("load error")));
        const ToolResult once = FormatScript(source);
        ASSERT_TRUE(once.ok) << once.error.toStdString();
        // Every line ends in CR LF once the fix-up has run.
        EXPECT_EQ(once.text.count(QLatin1Char('\n')), once.text.count(QLatin1String("\r\n")));
        EXPECT_EQ(resultOf(once.text), expected);
        const ToolResult twice = FormatScript(once.text);
        ASSERT_TRUE(twice.ok);
        EXPECT_EQ(twice.text, once.text);
    }
}

TEST(Beautifier, LineBreakFixUpAndEdgeInputs) {
    EXPECT_EQ(fixLineBreaks(QStringLiteral("a\n    b")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(fixLineBreaks(QStringLiteral("a\n        b")), QStringLiteral("a\r\n    b"));
    EXPECT_EQ(fixLineBreaks(QStringLiteral("a\n   b")), QStringLiteral("a\n   b"));
    EXPECT_EQ(fixLineBreaks(QStringLiteral("a\n\tb")), QStringLiteral("a\n\tb"));
    EXPECT_EQ(fixLineBreaks(QStringLiteral("\n    \n    x")), QStringLiteral("\r\n\r\nx"));

    EXPECT_EQ(FormatScript(QString()).text, QString());
    // Input it cannot understand is laid out as far as possible, never refused.
    for (const char* odd : {"var s = 'open", "/* open", "function (", "}}}", "`a${`"}) {
        const ToolResult r = FormatScript(QString::fromUtf8(odd));
        EXPECT_TRUE(r.ok) << odd;
        EXPECT_FALSE(r.text.isEmpty()) << odd;
    }
    // Chinese text and a multi-line template keep their values.
    const QString code = QStringLiteral("var t=`第一行\n    第二行`;function __result(){return t}");
    EXPECT_EQ(resultOf(FormatScript(code).text), QStringLiteral("第一行\n    第二行"));
}

TEST(Beautifier, CommentsAfterStatementsWithoutSemicolonKeepTheirLevel) {
    // The fixture is written in the formatter's own layout, so it must come back as it
    // is: a comment line after `x = 1` (no semicolon) stays at the statement's level in
    // blocks, before `else`, after `return`, between cases and fields; only a comment
    // inside an expression that goes on keeps the deeper indent.
    QString laidOut = readFixture(QStringLiteral(VEXO_TEST_DATA "/tools/comments_after_asi.js"));
    laidOut.chop(1); // the file's last line break
    laidOut.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    const ToolResult r = FormatScript(laidOut);
    ASSERT_TRUE(r.ok);
    const QStringList got = r.text.split(QLatin1String("\r\n"));
    const QStringList want = laidOut.split(QLatin1String("\r\n"));
    ASSERT_EQ(got.size(), want.size());
    for (qsizetype i = 0; i < want.size(); ++i)
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
}

TEST(Minifier, KeepsWhatEveryFixtureComputes) {
    for (const QString& path : fixtures(QString())) {
        SCOPED_TRACE(path.toStdString());
        const QString source = readFixture(path);
        const ToolResult r = MinifyScript(source);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_EQ(resultOf(dropEmptyFirstLine(r.text)), resultOf(source));
        EXPECT_LT(r.text.size(), source.size());
    }
}

TEST(Minifier, LinesCommentsAndErrors) {
    ToolResult r = MinifyScript(QStringLiteral("var a = 1 + 2;\r\nvar b = a * 3;\r\n"));
    EXPECT_EQ(r.text, QStringLiteral("\nvar a=1+2;var b=a*3;"));
    EXPECT_EQ(dropEmptyFirstLine(r.text), QStringLiteral("var a=1+2;var b=a*3;"));
    r = MinifyScript(QStringLiteral("// one\r\n/* two */\r\nif (x) { y(); }"));
    EXPECT_EQ(dropEmptyFirstLine(r.text), QStringLiteral("if(x){y();}"));
    // A first line of code is never taken for the empty line.
    EXPECT_EQ(dropEmptyFirstLine(QStringLiteral("'a';\nb()")), QStringLiteral("'a';\nb()"));
    EXPECT_EQ(MinifyScript(QString()).text, QString());

    r = MinifyScript(QStringLiteral("var s = \"open;\n"));
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Error: unterminated string literal: ")));
    r = MinifyScript(QStringLiteral("a = 1; /* open"));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("Error: Unterminated comment."));
}

TEST(Beautifier, LetAsAPlainNameDividesAndKeepsRegularExpressions) {
    // Found by the fuzz harness: after "let" used as a name, "/=" and "/" were read as the
    // start of a regular expression and the rest of the line was taken apart.
    const QString code = QStringLiteral(
        "var let = 8, b = 2, g = 1;\nlet /= /(?:x|y)*?/.source.length - 7;\nlet = let / b / g;\n"
        "var s = '// kept';\nfunction __result(){return let + s + b}");
    const ToolResult r = FormatScript(code);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.text.contains(QStringLiteral("/(?:x|y)*?/"))) << r.text.toStdString();
    EXPECT_EQ(resultOf(r.text), resultOf(code));
    EXPECT_EQ(resultOf(code), QStringLiteral("2// kept2"));
    // A declaration stays a declaration.
    EXPECT_EQ(FormatScript(QStringLiteral("let {a} = o;let [b]=c;")).text,
              QStringLiteral("let {\r\n    a\r\n} = o;\r\nlet [b] = c;"));
}

TEST(CodeTools, DivisionAfterDecrementInsideATemplate) {
    // Found by the fuzz harness: in ${c-- / /* … */ n} the slash was read as the start of a
    // regular expression that ran to the next slash on the line, past the template's end.
    const QString code = QStringLiteral("var c = 6, n = 2;\n"
                                        "var t = `<${c-- / /* 注释 */ n}>` + `${-+`t`}` + 8 / 2;\n"
                                        "function __result(){return t + c}");
    EXPECT_EQ(resultOf(code), QStringLiteral("<3>NaN45"));
    const ToolResult formatted = FormatScript(code);
    ASSERT_TRUE(formatted.ok);
    EXPECT_EQ(resultOf(formatted.text), resultOf(code)) << formatted.text.toStdString();
    const ToolResult minified = MinifyScript(code);
    ASSERT_TRUE(minified.ok) << minified.error.toStdString();
    EXPECT_EQ(resultOf(dropEmptyFirstLine(minified.text)), resultOf(code));
}

TEST(Minifier, OfIsAKeywordOnlyInAForHead) {
    // Found by the fuzz harness: after "of" used as a name, "/=" began a regular expression
    // that ran on to a later slash, or failed as unterminated.
    const QString code = QStringLiteral("var of = 8;\n"
                                        "of /= /(?:x|y)*?/.source.length - 7;\n"
                                        "for (var x of /[ab]/g.exec('a')) of += x;\n"
                                        "function __result(){return of}");
    const ToolResult r = MinifyScript(code);
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(resultOf(dropEmptyFirstLine(r.text)), QStringLiteral("4a"));
    EXPECT_TRUE(r.text.contains(QStringLiteral("of/=/(?:x|y)*?/.source.length-7;")))
        << r.text.toStdString();

    // Inside a for head too, "of" after "in" is a name; both tools keep the expression.
    const QString head = QStringLiteral("var of = 8, n = 0;\n"
                                        "for (var k in of /= of || /[\\]]+/) n++;\n"
                                        "for (let [u] of [/[\\]]+/g.source]) n += u.length;\n"
                                        "function __result(){return of + ',' + n}");
    EXPECT_EQ(resultOf(head), QStringLiteral("1,1"));
    const ToolResult formatted = FormatScript(head);
    EXPECT_EQ(resultOf(formatted.text), QStringLiteral("1,1")) << formatted.text.toStdString();
    EXPECT_TRUE(formatted.text.contains(QStringLiteral("of /= of || /[\\]]+/)")))
        << formatted.text.toStdString();
    const ToolResult minified = MinifyScript(head);
    EXPECT_TRUE(minified.text.contains(QStringLiteral("of/=of||/[\\]]+/)")))
        << minified.text.toStdString();
    EXPECT_EQ(resultOf(dropEmptyFirstLine(minified.text)), QStringLiteral("1,1"))
        << minified.text.toStdString();
}

TEST(Minifier, LineBreakBeforeATemplateStays) {
    // Found by the fuzz harness: "x--" and a template on the next line are two statements;
    // without the line break "x--`t`" does not parse.
    const QString code = QStringLiteral("var set = 3;\nset--\n`plain ${1}`\n"
                                        "function __result(){return set}");
    const ToolResult r = MinifyScript(code);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.text.contains(QStringLiteral("set--\n`plain ${1}`"))) << r.text.toStdString();
    EXPECT_EQ(resultOf(dropEmptyFirstLine(r.text)), QStringLiteral("2"));
}

TEST(Beautifier, CodeItCannotLayOutIsAFailure) {
    const int deep = 100000;
    const struct {
        const char* name;
        QString code;
        bool ok;
    } cases[] = {
        {"blocks nested 10^5 levels", QString(deep, u'{') + QString(deep, u'}'), false},
        {"functions nested 10^5 levels",
         QStringLiteral("function f(){").repeated(deep) + QString(deep, u'}'), false},
        // Deep, but within what the layout manages.
        {"blocks nested 200 levels", QString(200, u'{') + QString(200, u'}'), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolResult r = FormatScript(c.code);
        EXPECT_EQ(r.ok, c.ok);
        if (!c.ok) {
            EXPECT_TRUE(r.text.isEmpty());
            EXPECT_EQ(r.error, QStringLiteral("代码嵌套过深，无法排版"));
        }
    }
}

TEST(Unpacker, HostileDecodersEndWithTheReason) {
    // A decoder that hands back a packed copy of itself, with p one smaller.
    const auto countdown = [](int layers) {
        return QStringLiteral("eval(function(p,a,c,k,e,r){return p>0?\"eval(\"+arguments.callee+"
                              "\"(\"+(p-1)+\",0,0,[],0,{}))\":\"var done=1\"}(%1,0,0,[],0,{}))")
            .arg(layers);
    };
    const struct {
        const char* name;
        QString source;
        double limit;
        bool ok;
        QString says; // the text (ok) or a part of the reason
    } cases[] = {
        {"endless decoder",
         QStringLiteral("eval(function(p,a,c,k,e,r){while(1){}}(0,0,0,[],0,{}))"), 0.5, false,
         QStringLiteral("超时")},
        // 257 bytes whose payload doubles with every layer; the cap ends it (about 1 s),
        // not the time limit, even on a busy machine.
        {"doubling decoder",
         readFixture(QStringLiteral(VEXO_TEST_DATA "/tools/hostile/doubling_packed.js")), 60.0,
         false, QStringLiteral("层解出的代码超过 64 MiB")},
        {"201 layers", countdown(200), 0.0, false, QStringLiteral("加壳超过 200 层")},
        {"200 layers", countdown(199), 0.0, true, QStringLiteral("var done=1")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolResult r = UnpackScript(c.source, c.limit);
        EXPECT_EQ(r.ok, c.ok) << r.error.toStdString();
        if (c.ok)
            EXPECT_EQ(r.text, c.says);
        else
            EXPECT_TRUE(r.error.contains(c.says)) << r.error.toStdString();
        EXPECT_FALSE(r.error.contains(QStringLiteral("中止")));
    }
}

TEST(Unpacker, PeelsEveryPackedFixture) {
    const QStringList paths = fixtures(QStringLiteral("packed"));
    ASSERT_GE(paths.size(), 8);
    for (const QString& path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QString source = readFixture(path);
        const ToolResult r = UnpackScript(source);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        QString expectedPath = path;
        expectedPath.replace(QLatin1String(".js"), QLatin1String(".expected.js"));
        if (QFile::exists(expectedPath)) {
            EXPECT_EQ(r.text.trimmed(), readFixture(expectedPath).trimmed());
        }
        // The unpacked and then formatted code still computes the same.
        const ToolResult laidOut = FormatScript(r.text);
        ASSERT_TRUE(laidOut.ok);
        EXPECT_EQ(resultOf(laidOut.text), resultOf(r.text));
    }
}

TEST(Unpacker, DetectionRules) {
    auto unpack = [](const QString& s) { return UnpackScript(s).text; };
    // %-escapes only when the text has no space at all.
    EXPECT_EQ(unpack(QStringLiteral("var%20a%3D1")), QStringLiteral("var a=1"));
    EXPECT_EQ(unpack(QStringLiteral("var%20a%3D1; b")), QStringLiteral("var%20a%3D1; b"));
    // Nothing recognised: the text comes back as it was.
    EXPECT_EQ(unpack(QStringLiteral("  var plain = 1;")), QStringLiteral("  var plain = 1;"));
    // String-array names keep every value, a backslash element included.
    const QString obfuscated =
        QStringLiteral("var _0xab12=[\"a\\x5cn\",\"it\\x27s\"];var x=_0xab12[0]+_0xab12[1];");
    const QString out = unpack(obfuscated);
    EXPECT_FALSE(out.contains(QLatin1String("_0xab12")));
    ScriptHost run;
    run.AddCode(out);
    EXPECT_EQ(run.Eval(QStringLiteral("x")).toText(), QStringLiteral("a\\nit's"));
    // An array that is no string table stays whole: empty, or used other than by a
    // constant index (cutting its declaration out once broke such scripts).
    for (const char* kept : {"var _0x4c56=[];_0x4c56.push(1);var n=_0x4c56.length;",
                             "var _0xab12=[\"a\",\"b\"];var i=1;var x=_0xab12[0]+_0xab12[i];"})
        EXPECT_EQ(unpack(QString::fromUtf8(kept)), QString::fromUtf8(kept)) << kept;
    // A broken packer payload is left alone.
    const QString broken =
        QStringLiteral("eval(function(p,a,c,k,e,r){throw 1}('x',1,1,''.split('|'),0,{}))");
    EXPECT_EQ(unpack(broken), broken);
}

// Results shown to the user are cut at the conversion cap; code coming back from a tool
// is the editor's new text and must arrive whole, however long.
TEST(CodeTools, ResultsLongerThanTheConversionCapArriveWhole) {
    const QString payload(kConvertedTextLimit + 1000, QLatin1Char('x'));
    const QString source = QStringLiteral("var a = \"") + payload + QStringLiteral("\";");
    const struct {
        const char* tool;
        ToolResult (*run)(const QString&);
    } cases[] = {
        {"format", [](const QString& s) { return FormatScript(s); }},
        {"minify", [](const QString& s) { return MinifyScript(s); }},
    };
    for (const auto& c : cases) {
        const ToolResult r = c.run(source);
        ASSERT_TRUE(r.ok) << c.tool << ": " << r.error.toStdString();
        EXPECT_TRUE(r.text.contains(payload)) << c.tool << ": " << r.text.size() << " characters";
        EXPECT_FALSE(r.text.contains(QStringLiteral("…（共"))) << c.tool;
    }
}

// The tools' engines are kept between calls; one a stop ended half way is made afresh.
TEST(CodeTools, AStoppedToolWorksAgainAtItsNextCall) {
    const QString big = QStringLiteral("function f(a){if(a){return [a,{b:a}];}}\n").repeated(20000);
    const struct {
        const char* name;
        ToolResult (*run)(const QString&);
        const char* small;
    } tools[] = {
        {"format", [](const QString& s) { return FormatScript(s); }, "var a = 1;"},
        {"minify", [](const QString& s) { return MinifyScript(s); }, "var a=1;"},
    };
    for (const auto& t : tools) {
        SCOPED_TRACE(t.name);
        StopAtOnce impatient;
        ScriptThread::instance().setWaiter(&impatient);
        const ToolResult stopped = t.run(big);
        ScriptThread::instance().setWaiter(nullptr);
        EXPECT_FALSE(stopped.ok);
        const ToolResult again = t.run(QStringLiteral("var  a =  1 ;"));
        EXPECT_TRUE(again.ok) << again.error.toStdString();
        EXPECT_EQ(again.text.trimmed(), QString::fromUtf8(t.small));
    }
}
