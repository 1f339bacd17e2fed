// The user's code runs with a console, timers on virtual time and, when asked, fixed time
// and random numbers. Real engine throughout; each case is a script and the pane lines
// (or values) it must give.

#include "../support/RecordingLog.h"

#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"

#include <gtest/gtest.h>

namespace {
// Loads code into a fresh context; the lines it wrote, without "-->" and line ends.
QStringList linesOf(ScriptHost& host, const QString& code) {
    host.Reset();
    host.AddCode(code);
    QStringList lines = host.TakeOutput();
    for (QString& line : lines) {
        line.remove(0, 3);
        line.chop(2);
    }
    return lines;
}

QString joined(const QStringList& lines) {
    return lines.join(QLatin1Char('\n'));
}
} // namespace

TEST(Environment, ConsoleFormatsAsABrowserDoes) {
    const struct {
        const char* code;
        const char* lines;
    } cases[] = {
        {"console.log('a', 1, true, null, undefined)", "console.log：a 1 true null undefined"},
        {"console.log({a: 1, b: 'x'}, [1, 2, 3])", "console.log：{a: 1, b: \"x\"} [1, 2, 3]"},
        {"console.log(function sign(a, b) {}, (x, y) => x, class Point {}, Math.max)",
         "console.log：ƒ sign(a, b) ƒ (x, y) class Point ƒ max()"},
        {"console.log('%s is %d years, %i, %f', 'Bob', 42.9, '7', '1.5')",
         "console.log：Bob is 42 years, 7, 1.5"},
        {"console.log('%cred%c', 'color: red', '', 'rest')", "console.log：red rest"},
        {"console.log('%o and %O', {a: [1]}, [1, {b: 2}])",
         "console.log：{a: [1]} and [1, {b: 2}]"},
        {"console.log('100%', 5, '%d')", "console.log：100% 5 %d"},
        {"console.log(-0, 1e21, NaN, 10n, Symbol('s'))", "console.log：-0 1e+21 NaN 10n Symbol(s)"},
        {"console.log({s: 'a\\nb', 'a-b': 1, [Symbol('k')]: 2})",
         "console.log：{s: \"a\\nb\", \"a-b\": 1, [Symbol(k)]: 2}"},
        {"console.log({a: {b: {c: {d: 1}}}})", "console.log：{a: {b: {c: {…}}}}"},
        {"var o = {n: 1}; o.self = o; console.log(o)", "console.log：{n: 1, self: {…}}"},
        {"console.log([1, , , 4], new Uint8Array([1, 2]))",
         "console.log：[1, empty × 2, 4] Uint8Array(2) [1, 2]"},
        {"console.log(new Map([['k', 1]]), new Set([1, 'a']))",
         "console.log：Map(1) {\"k\" => 1} Set(2) {1, \"a\"}"},
        {"class P { constructor() { this.x = 1; } } console.log(new P(), new TypeError('bad'))",
         "console.log：P {x: 1} TypeError: bad"},
        // A getter is not run: showing a value must not change or stop the script.
        {"console.log({get g() { throw 1; }, k: 2})", "console.log：{g: (...), k: 2}"},
        {"console.warn('w'); console.error('e'); console.info('i'); console.debug('d')",
         "console.warn：w\nconsole.error：e\nconsole.info：i\nconsole.debug：d"},
        {"console.assert(true, 'no'); console.assert(false, 'x', 1)",
         "console.error：Assertion failed: x 1"},
        {"console.count(); console.count(); console.count('k')",
         "console.count：default: 1\nconsole.count：default: 2\nconsole.count：k: 1"},
        {"console.group('g'); console.log('in'); console.groupEnd(); console.log('out')",
         "console.group：g\nconsole.log：  in\nconsole.log：out"},
        {"console.timeEnd('none')", "console.warn：Timer 'none' does not exist"},
        // What the console itself and the environment's functions read as.
        {"console.log(String(console.log), String(setTimeout), String(Date.now))",
         "console.log：function log() { [native code] } function setTimeout() { [native code] } "
         "function now() { [native code] }"},
        {"console.log(Function.prototype.toString.call(Function.prototype.toString))",
         "console.log：function toString() { [native code] }"},
    };
    ScriptHost host;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        EXPECT_EQ(joined(linesOf(host, QString::fromUtf8(c.code))), QString::fromUtf8(c.lines));
        EXPECT_EQ(host.Error().number, 0) << host.Error().description.toStdString();
    }
}

TEST(Environment, TimersRunOnVirtualTimeInBrowserOrder) {
    const struct {
        const char* what;
        const char* code;
        const char* lines;
    } cases[] = {
        {"sync, then promise jobs, then timers",
         "console.log('sync 1'); setTimeout(() => console.log('timeout'), 0);"
         "Promise.resolve().then(() => console.log('then')); queueMicrotask(() => "
         "console.log('microtask')); console.log('sync 2');",
         "console.log：sync 1\nconsole.log：sync 2\nconsole.log：then\nconsole.log：microtask\n"
         "console.log：timeout"},
        {"by due time, equal times in the order set, the clock at each one's time",
         "var t0 = Date.now(), p0 = performance.now(); [300, 100, 200, 100].forEach(function (ms, "
         "i) {"
         " setTimeout(function () { console.log(i, Date.now() - t0 >= ms,"
         " performance.now() - p0 >= ms, new Date().getTime() >= t0 + ms); }, ms); });",
         "console.log：1 true true true\nconsole.log：3 true true true\n"
         "console.log：2 true true true\nconsole.log：0 true true true"},
        {"a timer's promise jobs run before the next timer",
         "setTimeout(function () { console.log('a'); Promise.resolve().then(() => "
         "console.log('a.then')); }, 10); setTimeout(() => console.log('b'), 10);",
         "console.log：a\nconsole.log：a.then\nconsole.log：b"},
        {"an interval until it clears itself; a cleared timeout never runs",
         "var n = 0, id = setInterval(function () { console.log('tick', ++n);"
         " if (n === 3) clearInterval(id); }, 1000);"
         "var gone = setTimeout(() => console.log('never'), 500); clearTimeout(gone);",
         "console.log：tick 1\nconsole.log：tick 2\nconsole.log：tick 3"},
        {"nested timers come after those already due",
         "setTimeout(function () { console.log('outer'); setTimeout(() => console.log('inner'), 0);"
         " Promise.resolve().then(() => console.log('outer.then')); }, 0);"
         "setTimeout(() => console.log('second'), 0);",
         "console.log：outer\nconsole.log：outer.then\nconsole.log：second\nconsole.log：inner"},
        {"immediates, arguments, and animation frames at the next frame",
         "requestAnimationFrame(t => console.log('frame', t > 0)); setImmediate((a, b) => "
         "console.log('immediate', a + b), 'x', 'y'); setTimeout(a => console.log('timeout', a), "
         "0, 'z'); cancelAnimationFrame(requestAnimationFrame(() => console.log('never')));",
         "console.log：immediate xy\nconsole.log：timeout z\nconsole.log：frame true"},
        {"a callback that throws is reported and the loop goes on",
         "setTimeout(function () { throw new Error('boom'); }, 0);"
         "setTimeout(() => console.log('after'), 1);",
         "console.error：Uncaught Error: boom\nconsole.log：after"},
        {"a timer given as text", "setTimeout(\"console.log('from text')\", 5)",
         "console.log：from text"},
        {"the callback bound ends a run",
         "var n = 0; for (var i = 0; i < 100005; i++) setTimeout(function () { n++; }, 0);",
         "定时器已到上限（每次运行最多 100000 次回调、虚拟时间 60 秒），其余 5 "
         "个定时器留待下次运行"},
        {"the virtual time bound ends a bounded interval",
         "var n = 0; setInterval(function () { n++; }, 0); setTimeout(() => console.log('late'), "
         "120000);",
         "定时器已到上限（每次运行最多 100000 次回调、虚拟时间 60 秒），其余 2 "
         "个定时器留待下次运行"},
    };
    ScriptHost host;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(joined(linesOf(host, QString::fromUtf8(c.code))), QString::fromUtf8(c.lines));
        EXPECT_EQ(host.Error().number, 0) << host.Error().description.toStdString();
    }
    // The bounds leave the script usable: each run counts its own callbacks, and an interval
    // of 0 ms waits 4 ms once nested, so 60 s of it are 15,000 calls or so.
    linesOf(host, QString::fromUtf8(cases[std::size(cases) - 1].code));
    const double n = host.Eval(QStringLiteral("n")).toDouble();
    EXPECT_GT(n, 14000.0);
    EXPECT_LT(n, 16000.0);
}

// A stop anywhere in the job — the script, a timer, a promise job a timer queued — is the
// job's error 5100: no value, no "代码加载成功"; the engine then works as before, and the
// timers the stopped code set (an endless interval) do not run into the next evaluation.
TEST(Environment, AStopInsideATimerOrAPromiseJobIsTheJobsError) {
    const struct {
        const char* what;
        const char* load;
        const char* expression; // evaluated after a load that went well
    } cases[] = {
        {"a timer on load", "setTimeout(function () { for (;;) {} }, 10);", nullptr},
        {"a .then on load", "Promise.resolve().then(function () { for (;;) {} });", nullptr},
        {"a .then a timer queued",
         "setTimeout(() => Promise.resolve().then(function () { for (;;) {} }), 0);", nullptr},
        {"an interval on load", "setInterval(function () { var s = 0; for (;;) s++; }, 1);",
         nullptr},
        {"a .then in an evaluation", "var x = 1;",
         "(Promise.resolve().then(function () { while (true) {} }), 'abc')"},
        {"a timer in an evaluation", "var x = 1;", "(setTimeout(function () { for (;;) {} }), 5)"},
    };
    GlobalObjects globals;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        RecordingLog log;
        BlockingWaiter waiter(0.3);
        ScriptThread::instance().setWaiter(&waiter);
        const LoadResult load = LoadCode(globals, QString::fromUtf8(c.load), log);
        if (c.expression) {
            ASSERT_EQ(load.outcome, LoadResult::Loaded);
            const Variant value = globals.mainHost().Eval(QString::fromUtf8(c.expression));
            EXPECT_TRUE(value.isEmpty());
        } else {
            EXPECT_EQ(load.outcome, LoadResult::ScriptError);
            EXPECT_FALSE(log.lines.contains(QStringLiteral("-->代码加载成功\r\n")));
            EXPECT_TRUE(log.lines.contains(QStringLiteral("-->发生错误：错误号=5100\r\n")));
        }
        EXPECT_EQ(globals.mainHost().Error().number, 5100);
        ScriptThread::instance().setWaiter(nullptr);
        EXPECT_EQ(globals.mainHost().Eval(QStringLiteral("x = 40 + 2")).toDouble(), 42.0);
        EXPECT_EQ(globals.mainHost().Error().number, 0);
    }
}

TEST(Environment, FixedTimeAndRandomRepeatARun) {
    // A "signature" from the time and random numbers, read at load and in a timer.
    const QString code =
        QStringLiteral("var sig = [Date.now(), new Date().getTime(), "
                       "Math.floor(performance.now()), Math.random()];"
                       "setTimeout(function () { sig.push(Date.now(), Math.random()); }, 1500);");
    auto signature = [&](const std::optional<FixedTime>& fixed) {
        ScriptHost host;
        host.setFixedTime(fixed);
        host.Reset();
        host.AddCode(code);
        return host.Eval(QStringLiteral("sig.join()")).toText();
    };
    const FixedTime a{7, 1700000000000.0};
    const FixedTime b{8, 1700000000000.0};
    const struct {
        const char* what;
        std::optional<FixedTime> first, second;
        bool same;
    } cases[] = {
        {"the same seed and start", a, a, true},
        {"another seed", a, b, false},
        {"another start", a, FixedTime{7, 1600000000000.0}, false},
        {"real time and random", std::nullopt, std::nullopt, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(signature(c.first) == signature(c.second), c.same);
    }
    // The clock starts at the chosen moment and the timer moved it by its delay.
    const QStringList parts = signature(a).split(QLatin1Char(','));
    ASSERT_EQ(parts.size(), 6);
    EXPECT_EQ(parts[0], QStringLiteral("1700000000000"));
    EXPECT_EQ(parts[2], QStringLiteral("0"));
    EXPECT_EQ(parts[4], QStringLiteral("1700000001500"));
}

TEST(Environment, DateAndTheGlobalsStayAsBefore) {
    const struct {
        const char* expression;
        const char* value;
    } cases[] = {
        {"new Date(2020, 0, 2).getDate() + '/' + new Date('2020-01-02T00:00:00Z').getTime()",
         "2/1577923200000"},
        {"typeof Date() + (new Date() instanceof Date) + (new Date().constructor === Date) +"
         " Date.length + Date.name",
         "stringtruetrue7Date"},
        {"class D extends Date {}; new D(0).getTime() + (new D() instanceof D ? 'd' : '')", "0d"},
        {"Object.keys(globalThis).join()", "f"},
        {"['console', 'setTimeout', 'setInterval', 'queueMicrotask', 'requestAnimationFrame',"
         " 'setImmediate', 'performance'].map(k => typeof globalThis[k]).join()",
         "object,function,function,function,function,function,object"},
        {"typeof vexoHost", "undefined"},
    };
    ScriptHost host;
    host.AddCode(QStringLiteral("function f() {}"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        EXPECT_EQ(host.Eval(QString::fromUtf8(c.expression)).toText(), QString::fromUtf8(c.value));
        EXPECT_EQ(host.Error().number, 0) << host.Error().description.toStdString();
    }
}
