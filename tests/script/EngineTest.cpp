// The engine through ScriptHost, on the real JavaScriptCore and the real script thread.

#include "engine/JsConvert.h"
#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "script/DemoScript.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "script/TextCodec.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QTimer>

namespace {
QString demoScript() {
    return decodeBytes(demoScriptGbk(), "GBK").value();
}
} // namespace

TEST(Engine, SyntaxErrorFillsErrorWithLineAndText) {
    ScriptHost host;
    host.Language(QStringLiteral("JScript"));
    EXPECT_EQ(host.AddCode(QStringLiteral("var a = 1;\r\nvar b = 2;\r\nvar c = (;\r\n")), 0.0);
    const ScriptError e = host.Error();
    EXPECT_EQ(e.number, 1002);
    EXPECT_EQ(e.line, 3);
    EXPECT_EQ(e.text, QStringLiteral("var c = (;"));
    EXPECT_FALSE(e.description.isEmpty());
}

TEST(Engine, RuntimeErrorsGetTheirNumbers) {
    ScriptHost host;
    host.AddCode(QStringLiteral("function f() {\n  return missing + 1;\n}"));
    EXPECT_EQ(host.Error().number, 0);
    EXPECT_TRUE(host.Eval(QStringLiteral("f()")).isEmpty());
    ScriptError e = host.Error();
    EXPECT_EQ(e.number, 5009);
    EXPECT_EQ(e.line, 2);
    EXPECT_EQ(e.text, QStringLiteral("  return missing + 1;"));

    const struct {
        const char* expression;
        int number;
    } cases[] = {
        {"null.x", 5007},
        {"new Array(-1)", 5029},
        {"decodeURIComponent('%')", 5025},
        {"throw 'plain text'", 5022},
        {"(function r() { return r() + 1; })()", 28},
        {"1", 0}, // a successful call clears the previous error
    };
    for (const auto& c : cases) {
        host.Eval(QString::fromUtf8(c.expression));
        EXPECT_EQ(host.Error().number, c.number) << c.expression;
    }
    host.Eval(QStringLiteral("throw 'plain text'"));
    EXPECT_EQ(host.Error().description, QStringLiteral("plain text"));
}

TEST(Engine, RunPassesTheNameAndFiveTexts) {
    ScriptHost host;
    host.AddCode(QStringLiteral(
        "function probe() { return arguments.length + ':' + [].join.call(arguments, '|'); }"));
    EXPECT_EQ(host.Run(QStringLiteral("probe"), QStringLiteral("a")).toText(),
              QStringLiteral("5:a||||"));
    EXPECT_TRUE(host.Run(QStringLiteral("nothing")).isEmpty());
    EXPECT_NE(host.Error().number, 0);
}

TEST(Engine, ProceduresInSourceOrder) {
    ScriptHost host;
    ProcedureList list;
    host.AddCode(demoScript());
    ASSERT_EQ(host.Error().number, 0);
    ASSERT_TRUE(host.Procedures(list));
    ASSERT_EQ(list.count(), 4);
    const QStringList names = {"MyObj", "fuckall", "OX", "OXOX"};
    const int args[] = {3, 0, 3, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list.entry(i + 1)->name, names[i]);
        EXPECT_EQ(list.entry(i + 1)->numArgs, args[i]);
    }

    // Order follows the text, including functions assigned to global names.
    ScriptHost other;
    other.AddCode(QStringLiteral("var zeta = function (a, b) {};\n"
                                 "var n = 4, r = n-- / 2; function omega() {}\n"
                                 "/* function fake() {} */ var s = 'function no() {}';\n"
                                 "function alpha() { function inner() {} }\n"
                                 "beta = (x) => x;\nfunction 中文(甲) {}"));
    ProcedureList second;
    ASSERT_TRUE(other.Procedures(second));
    QStringList got;
    for (const Procedure& p : second.entries())
        got << p.name;
    EXPECT_EQ(got, QStringList({"zeta", "omega", "alpha", "beta", "中文"}));

    // A script without functions leaves the list as it was.
    ScriptHost plain;
    plain.AddCode(QStringLiteral("var x = 1;"));
    EXPECT_FALSE(plain.Procedures(list));
    EXPECT_EQ(list.count(), 4);
}

// A modern bundle: functions held by let and const bindings and classes are listed among
// the others in the order written, with how they are defined and their parameter names.
// The function list's reader outlives every engine: a list stopped part way (at any
// point of the reader's scan) leaves it able to read the next script whole.
TEST(Engine, StoppedFunctionListLeavesTheReaderWorking) {
    QString big;
    for (int i = 0; i < 40000; ++i)
        big += QStringLiteral("function f%1(a, b) { return a / b; }\n").arg(i);
    class StopAfter : public ScriptWaiter {
    public:
        int ms = 0;
        void wait(ScriptJob& job) override {
            if (!job.waitDone(ms))
                ScriptThread::instance().requestStop();
            job.waitDone(-1);
        }
    } stopper;
    for (int ms : {0, 2, 10, 40, 150}) {
        ScriptHost host;
        host.AddCode(big);
        ASSERT_EQ(host.Error().number, 0);
        ProcedureList stopped;
        stopper.ms = ms;
        ScriptThread::instance().setWaiter(&stopper);
        host.Procedures(stopped);
        ScriptThread::instance().setWaiter(nullptr);

        ScriptHost next;
        next.AddCode(QStringLiteral("let g = (x, y = 1) => x; function h(p) {}"));
        ProcedureList list;
        ASSERT_TRUE(next.Procedures(list)) << ms;
        ASSERT_EQ(list.count(), 2) << ms;
        EXPECT_EQ(list.entry(1)->name, QStringLiteral("g"));
        EXPECT_EQ(list.entry(1)->parameterNames, std::optional(QStringList({"x", "y"})));
        EXPECT_EQ(list.entry(2)->name, QStringLiteral("h"));
    }
}

TEST(Engine, ModernBundleProceduresInSourceOrder) {
    ScriptHost host;
    host.AddCode(QStringLiteral(
        "'use strict';\n"
        "const sign = (a, b) => Math.sign(a - b);\n"
        "let twice = function (f) { return x => f(f(x)); };\n"
        "var legacy = function (p, q) {};\n"
        "class Point extends Object { constructor(x, y = 0) { super(); } norm() { return 1; } }\n"
        "const fetchAll = async (urls, ...opts) => [], counter = function* (from) { yield from; "
        "};\n"
        "async function load(url) {}\n"
        "function* ids() {}\n"
        "const { floor } = Math, notAFunction = 42, later = z => z;\n"
        "let uninitialised; globalThis.runtime = function (r) {};\n"
        "class Empty {}\n"));
    ASSERT_EQ(host.Error().number, 0) << host.Error().description.toStdString();
    ProcedureList list;
    ASSERT_TRUE(host.Procedures(list));
    const struct {
        const char* name;
        int numArgs;
        const char* definedBy;
        const char* parameters; // "-": none written
    } want[] = {
        {"sign", 2, "const", "a,b"},
        {"twice", 1, "let", "f"},
        {"legacy", 2, "var", "p,q"},
        {"Point", 1, "class", "x,y"},
        {"fetchAll", 1, "const", "urls,...opts"},
        {"counter", 1, "const", "from"},
        {"load", 1, "function", "url"},
        {"ids", 0, "function", ""},
        {"floor", 1, "const", "-"},
        {"later", 1, "const", "z"},
        {"Empty", 0, "class", "-"},
        {"runtime", 1, "", "-"},
    };
    ASSERT_EQ(list.count(), qsizetype(std::size(want)));
    for (qsizetype i = 0; i < list.count(); ++i) {
        const Procedure& p = *list.entry(i + 1);
        EXPECT_EQ(p.name, QString::fromUtf8(want[i].name)) << i;
        EXPECT_EQ(p.numArgs, want[i].numArgs) << want[i].name;
        EXPECT_EQ(p.definedBy, QString::fromUtf8(want[i].definedBy)) << want[i].name;
        EXPECT_EQ(p.parameterNames ? p.parameterNames->join(QLatin1Char(',')) : QStringLiteral("-"),
                  QString::fromUtf8(want[i].parameters))
            << want[i].name;
    }
}

TEST(Engine, AddObjectMakesAnObjectVisibleByName) {
    // Objects of another engine instance arrive as a copy of their data.
    ScriptHost maker;
    const Variant record = maker.Eval(QStringLiteral("({ info: { version: '2.0' } })"));
    ScriptHost host;
    EXPECT_TRUE(host.AddObject(QStringLiteral("jsonobj"), record, false));
    EXPECT_EQ(host.Eval(QStringLiteral("jsonobj.info.version")).toText(), QStringLiteral("2.0"));
    EXPECT_FALSE(host.AddObject(QStringLiteral("nothing"), Variant::fromInt(1), false));
    // Objects of the same instance are the object itself.
    const Variant own = host.Eval(QStringLiteral("({ n: 1 })"));
    host.AddObject(QStringLiteral("mine"), own, false);
    host.Eval(QStringLiteral("mine.n = 5"));
    EXPECT_EQ(own.toObject()->property(QStringLiteral("n")).toDouble(), 5.0);
}

TEST(Engine, TextSurvivesTheBoundary) {
    ScriptHost host;
    const QString withNul = QStringLiteral("a") + QChar(0) + QStringLiteral("b");
    const Variant v = host.Eval(QStringLiteral("'a\\u0000b'"));
    EXPECT_EQ(v.toText(), withNul);
    EXPECT_EQ(v.toText().size(), 3);
    const QString emoji = QString::fromUtf8("汉字\xF0\x9F\x98\x80");
    EXPECT_EQ(host.Eval(QStringLiteral("'") + emoji + QStringLiteral("'")).toText(), emoji);
    EXPECT_EQ(host.Eval(QStringLiteral("'\\u{1F600}'.length")).toDouble(), 2.0);
}

// A text longer than the conversion cap is cut inside the engine, before it is copied,
// with its whole length said, whatever characters it holds.
TEST(Engine, LongTextsAreCutAtTheConversionCap) {
    ScriptHost host;
    const qsizetype cap = kConvertedTextLimit;
    auto said = [](qsizetype n) { return QStringLiteral("…（共 %1 字符）").arg(n); };
    const QString pair = QString::fromUtf16(u"\U0001F600");
    const struct {
        const char* expression;
        QString head;
        qsizetype length;
    } cases[] = {
        {"'x'.repeat(%1 + 5)", QString(cap, u'x'), cap + 5},
        {"'中'.repeat(%1 + 1)", QString(cap, u'中'), cap + 1},
        // A lone surrogate stops the engine's UTF-8 output; the units are read directly.
        {"'\\ud800'.repeat(%1 + 1)", QString(cap, QChar(0xD800)), cap + 1},
        // The cut falls inside a pair, which is then left out whole.
        {"'a' + '\\ud83d\\ude00'.repeat(%1 / 2)", QStringLiteral("a") + pair.repeated(cap / 2 - 1),
         cap + 1},
    };
    for (const auto& c : cases) {
        const QString text = host.Eval(QString::fromUtf8(c.expression).arg(cap)).toText();
        EXPECT_EQ(text, c.head + said(c.length)) << c.expression;
    }
    // Up to the cap a text comes over whole.
    EXPECT_EQ(host.Eval(QStringLiteral("'y'.repeat(%1)").arg(cap)).toText(), QString(cap, u'y'));
}

TEST(Engine, LanguageAcceptsOnlyJavaScriptNames) {
    ScriptEngine* engine = nullptr;
    ScriptThread::instance().call([&] { engine = new ScriptEngine; });
    ScriptThread::instance().call([&] {
        EXPECT_TRUE(engine->setLanguage(QStringLiteral("javascript")));
        EXPECT_FALSE(engine->setLanguage(QStringLiteral("VBScript")));
        EXPECT_EQ(engine->language(), QStringLiteral("javascript"));
        delete engine;
    });
}

TEST(Engine, FailedCreationGivesEmptyValues) {
    ScriptHost host(QStringLiteral("no.such.engine"));
    EXPECT_FALSE(host.isValid());
    EXPECT_FALSE(host.Language(QStringLiteral("JScript")));
    EXPECT_EQ(host.AddCode(QStringLiteral("function f() {}")), 0.0);
    EXPECT_TRUE(host.Eval(QStringLiteral("1+1")).isEmpty());
    EXPECT_TRUE(host.Run(QStringLiteral("f")).isEmpty());
    EXPECT_EQ(host.Error().number, 0);
    ProcedureList list;
    EXPECT_FALSE(host.Procedures(list));
    EXPECT_FALSE(host.Reset());
    ScriptHost copy(host); // a second reference to the same (absent) engine
    EXPECT_FALSE(copy.isValid());
}

TEST(Engine, EndlessScriptIsStoppedAndTheInstanceStaysUsable) {
    ScriptHost host;
    BlockingWaiter waiter(0.3); // asks for a stop after 300 ms
    ScriptThread::instance().setWaiter(&waiter);
    EXPECT_TRUE(host.Eval(QStringLiteral("while(true){}")).isEmpty());
    const ScriptError e = host.Error();
    EXPECT_EQ(e.number, 5100);
    EXPECT_EQ(e.description, QStringLiteral("脚本运行已被用户中止"));
    // Also inside a function added as code.
    host.AddCode(QStringLiteral("function spin() { for (;;) {} }"));
    host.Run(QStringLiteral("spin"));
    EXPECT_EQ(host.Error().number, 5100);
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(host.Eval(QStringLiteral("1+1")).toDouble(), 2.0);
    EXPECT_EQ(host.Error().number, 0);
}

TEST(Engine, ObjectsOutlivingTheirEngineCanStillBeStopped) {
    std::shared_ptr<ScriptObject> object;
    {
        ScriptHost host;
        object = host.Eval(QStringLiteral("({ get spin() { for (;;) {} }, n: 4 })")).toObject();
    }
    BlockingWaiter waiter(0.3);
    ScriptThread::instance().setWaiter(&waiter);
    EXPECT_TRUE(object->property(QStringLiteral("spin")).isEmpty());
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(object->property(QStringLiteral("n")).toDouble(), 4.0);
}

TEST(Engine, ObjectResultsStayReadableWhenAResetForgetsTheCode) {
    ScriptHost host;
    host.AddCode(demoScript());
    const Variant v = host.Eval(QStringLiteral("OX(1,2,3)"));
    ASSERT_EQ(v.vt(), Variant::Dispatch);
    auto object = v.toObject();
    ASSERT_TRUE(object);
    EXPECT_EQ(object->property(QStringLiteral("men2")).toDouble(), 2.0);
    EXPECT_EQ(host.Eval(QStringLiteral("OXOX('a',1,'b')")).toText(), QStringLiteral("a1b"));
    // A reset forgets the code; the object outlives it.
    host.Reset();
    EXPECT_TRUE(host.Eval(QStringLiteral("OXOX('a',1,'b')")).isEmpty());
    EXPECT_EQ(host.Error().number, 5009);
    EXPECT_EQ(object->property(QStringLiteral("men3")).toDouble(), 3.0);
    EXPECT_EQ(host.Eval(QStringLiteral("[1,[2,3]]")).toText(), QStringLiteral("1,2,3"));
}
