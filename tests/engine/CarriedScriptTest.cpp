// A carried script's calls: typed arguments in, a value or the way the call ended out —
// a throw (an Error's name and message, or the thrown value), a stop, a time-out — and
// host functions that see the script's arguments.

#include "engine/CarriedScript.h"
#include "../support/StopAtOnce.h"
#include "engine/ScriptThread.h"

#include <gtest/gtest.h>

TEST(CarriedScript, EveryEndOfACallComesBackAsItself) {
    const QString bundle = QStringLiteral(
        "function echo(a, b) { return typeof a + ':' + a + ',' + typeof b + ':' + b; }"
        "function host(s) { return twice(s, 3); }"
        "function fails() { throw new RangeError('too far'); }"
        "function throwsText() { throw 'plain reason'; }"
        "function spins() { for (;;) {} }");
    using S = CarriedCall::Status;
    const struct {
        const char* name;
        QString entry;
        QList<Variant> args;
        double deadline;
        bool stop;
        S status;
        QString text; // the value as text (Ok) or the message
        QString errorName;
    } cases[] = {
        {"typed arguments",
         QStringLiteral("echo"),
         {Variant::fromString(QStringLiteral("x")), Variant::fromInt(2)},
         0,
         false,
         S::Ok,
         QStringLiteral("string:x,number:2"),
         {}},
        {"host function",
         QStringLiteral("host"),
         {Variant::fromString(QStringLiteral("ab"))},
         0,
         false,
         S::Ok,
         QStringLiteral("ababab"),
         {}},
        {"Error",
         QStringLiteral("fails"),
         {},
         0,
         false,
         S::Threw,
         QStringLiteral("too far"),
         QStringLiteral("RangeError")},
        {"thrown text",
         QStringLiteral("throwsText"),
         {},
         0,
         false,
         S::Threw,
         QStringLiteral("plain reason"),
         {}},
        {"no such entry",
         QStringLiteral("missing"),
         {},
         0,
         false,
         S::Threw,
         QStringLiteral("missing is not a function"),
         QStringLiteral("TypeError")},
        {"time-out", QStringLiteral("spins"), {}, 0.2, false, S::TimedOut, {}, {}},
        {"stop", QStringLiteral("spins"), {}, 30.0, true, S::Stopped, {}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        StopAtOnce stopper;
        ScriptThread::instance().setWaiter(c.stop ? &stopper : nullptr);
        CarriedCall call;
        ScriptThread::instance().call([&] {
            CarriedScript script(
                bundle, {0.05,
                         QStringLiteral("test.js"),
                         {{"twice", [](JSContextRef ctx, const std::vector<JSValueRef>& args) {
                               const QString s = jsValueToQString(ctx, args.at(0));
                               const int n = int(JSValueToNumber(ctx, args.at(1), nullptr));
                               return jsMakeString(ctx, s.repeated(n));
                           }}}});
            script.setDeadline(c.deadline);
            call = script.call(c.entry, c.args);
        });
        ScriptThread::instance().setWaiter(nullptr);
        EXPECT_EQ(call.status, c.status);
        EXPECT_EQ(call.ok() ? call.value.toText() : call.message, c.text);
        EXPECT_EQ(call.errorName, c.errorName);
    }
}

TEST(CarriedScript, AFailedLoadAndAResultThatIsNoTextAreFailures) {
    ScriptThread::instance().call([&] {
        CarriedScript broken(QStringLiteral("function f() {"));
        EXPECT_FALSE(broken.isLoaded());
        EXPECT_EQ(broken.loadFailure().errorName, QStringLiteral("SyntaxError"));
        const ToolResult r =
            broken.call(QStringLiteral("f"), {}).toolResult(QStringLiteral("no text"));
        EXPECT_FALSE(r.ok);
        EXPECT_FALSE(r.error.isEmpty());

        CarriedScript tool(QStringLiteral("function object() { return {a: 1}; }"));
        const ToolResult object =
            tool.call(QStringLiteral("object"), {}).toolResult(QStringLiteral("no text"));
        EXPECT_FALSE(object.ok);
        EXPECT_EQ(object.error, QStringLiteral("no text"));
    });
}
