// The debugger on the real engine: scripts loaded as "加载代码" loads them, held at
// breakpoints, stepped, looked into and let go, while a second thread plays the user.

#include "../support/RecordingLog.h"

#include "debug/DebugSession.h"
#include "engine/InspectorSymbols.h"
#include "engine/InspectorWire.h"
#include "engine/PauseWait.h"
#include "script/GlobalObjects.h"
#include "script/ScriptSession.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <future>
#include <mutex>
#include <thread>

namespace {
constexpr int kWaitMs = 15000;

// Plays the user: keeps every pause and logged value for the test thread.
class Driver : public DebugListener {
public:
    void paused(const PauseInfo& info) override {
        std::lock_guard lock(m_mutex);
        m_pauses.push_back(info);
        m_changed.notify_all();
    }
    void probed(const ProbeHit& hit) override {
        std::lock_guard lock(m_mutex);
        m_logged << QStringLiteral("%1:%2").arg(hit.breakpoint.line).arg(hit.value.text());
    }
    std::optional<PauseInfo> nextPause() {
        std::unique_lock lock(m_mutex);
        if (!m_changed.wait_for(lock, std::chrono::milliseconds(kWaitMs),
                                [&] { return !m_pauses.empty(); }))
            return std::nullopt;
        PauseInfo info = m_pauses.front();
        m_pauses.pop_front();
        return info;
    }
    QStringList logged() {
        std::lock_guard lock(m_mutex);
        return m_logged;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<PauseInfo> m_pauses;
    QStringList m_logged;
};

QString evaluateIn(const CallFrame& frame, const QString& expression) {
    std::promise<QString> done;
    DebugSession::instance().evaluate(frame.id, expression, [&](auto value, bool thrown) {
        done.set_value(!value ? QStringLiteral("<none>")
                              : (thrown ? QStringLiteral("throws ") : QString()) + value->text());
    });
    auto f = done.get_future();
    return f.wait_for(std::chrono::milliseconds(kWaitMs)) == std::future_status::ready
               ? f.get()
               : QStringLiteral("<no reply>");
}

// "name=value" for the innermost scope of the frame.
QStringList locals(const CallFrame& frame) {
    if (frame.scopes.isEmpty())
        return {};
    std::promise<QStringList> done;
    DebugSession::instance().properties(frame.scopes.first().objectId, [&](const auto& list) {
        QStringList out;
        for (const Property& p : list)
            out << p.name + QLatin1Char('=') + p.value.text();
        done.set_value(out);
    });
    auto f = done.get_future();
    return f.wait_for(std::chrono::milliseconds(kWaitMs)) == std::future_status::ready
               ? f.get()
               : QStringList();
}

Breakpoint at(int line, const QString& condition = {}, const QString& log = {}) {
    Breakpoint b;
    b.line = line;
    b.condition = condition;
    b.logExpression = log;
    return b;
}

enum class Act { Resume, Over, Into, Out, Stop };

struct Step {
    int line;            // where the pause must be
    QString reason;      // empty: any
    QString frame1Check; // "expr=value" evaluated in the caller's frame (frame 1)
    QString localCheck;  // "name=value" among the innermost scope's variables
    Act act;
};

const char* const kProgram = R"JS(function inner(x) {
  var y = x * 2;
  return y + 1;
}
function outer(a) {
  var r = inner(a);
  return r;
}
function trap() { debugger; return 1; }
var total = 0;
for (var i = 0; i < 4; i++) {
  trap();
  total += outer(i);
}
)JS";
} // namespace

TEST(DebugSession, PausesStepsLooksIntoFramesAndLetsGo) {
    const struct {
        const char* what;
        QList<Breakpoint> breakpoints;
        bool pauseOnExceptions;
        bool ignoreDebugger;
        QString code;
        QList<Step> steps;
        int error; // the load's error number after the last step
        QStringList logged;
    } cases[] = {
        {"a breakpoint at a line shows the locals; debugger traps are ignored",
         {at(3)},
         false,
         true,
         kProgram,
         {{3, "Breakpoint", "a=0", "y=0", Act::Resume}, {3, "Breakpoint", "a=1", "y=2", Act::Stop}},
         5100,
         {}},
        {"a conditional breakpoint stops only when its condition holds",
         {at(2, "x == 2")},
         false,
         true,
         kProgram,
         {{2, "Breakpoint", "r=undefined", "x=2", Act::Resume}},
         0,
         {}},
        {"step into, over and out across functions",
         {at(6, "a == 1")},
         false,
         true,
         kProgram,
         {{6, {}, {}, "a=1", Act::Into},
          {2, {}, "a=1", "x=1", Act::Over},
          {3, {}, {}, "y=2", Act::Out},
          {7, {}, {}, "r=3", Act::Resume}},
         0,
         {}},
        {"debugger statements stop when they are not ignored",
         {at(13, "i == 3")},
         false,
         false,
         kProgram,
         {{9, "DebuggerStatement", {}, {}, Act::Resume},
          {9, "DebuggerStatement", {}, {}, Act::Resume},
          {9, "DebuggerStatement", {}, {}, Act::Resume},
          {9, "DebuggerStatement", {}, {}, Act::Resume},
          {13, "Breakpoint", {}, {}, Act::Resume}},
         0,
         {}},
        {"a debugger trap in setInterval is ignored; the breakpoint in it still stops",
         {at(4, "n == 2")},
         false,
         true,
         "var n = 0;\nvar id = setInterval(function () {\n  debugger;\n  n++;\n"
         "  if (n == 3) clearInterval(id);\n}, 10);\n",
         {{4, "Breakpoint", "n=2", {}, Act::Resume}},
         0,
         {}},
        {"pause on an uncaught exception",
         {},
         true,
         true,
         "var n = 5;\nfunction f() { throw new TypeError('bad ' + n); }\nf();\n",
         {{2, "exception", "n=5", {}, Act::Resume}},
         5007,
         {}},
        {"a logpoint writes and goes on",
         {at(3, {}, "'y is ' + y")},
         false,
         true,
         kProgram,
         {},
         0,
         {"3:y is 0", "3:y is 2", "3:y is 4", "3:y is 6"}},
    };
    // The held script thread waits in the pause instead of spinning: the wait is in the
    // engine's pause loop, and the loop went through it.
    ASSERT_TRUE(PauseWait::installed());
    const unsigned long long waitsBefore = PauseWait::waits();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DebugSession& session = DebugSession::instance();
        ASSERT_TRUE(session.available());
        Driver driver;
        session.setListener(&driver);
        session.setBreakpoints(c.breakpoints);
        session.setPauseOnExceptions(c.pauseOnExceptions);
        session.setIgnoreDebuggerStatements(c.ignoreDebugger);
        GlobalObjects globals;
        RecordingLog log;
        auto job = std::async(std::launch::async, [&] { return LoadCode(globals, c.code, log); });
        for (const Step& step : c.steps) {
            auto pause = driver.nextPause();
            ASSERT_TRUE(pause) << "no pause before line " << step.line;
            ASSERT_FALSE(pause->frames.isEmpty());
            const CallFrame& top = pause->frames.first();
            EXPECT_EQ(top.line, step.line);
            EXPECT_EQ(top.source, 1);
            if (!step.reason.isEmpty()) {
                EXPECT_EQ(pause->reason, step.reason);
            }
            if (!step.localCheck.isEmpty()) {
                const QStringList names = locals(top);
                EXPECT_TRUE(names.contains(step.localCheck)) << names.join(' ').toStdString();
            }
            if (!step.frame1Check.isEmpty()) {
                const QString expression = step.frame1Check.section(QLatin1Char('='), 0, 0);
                const CallFrame& frame = pause->frames.value(pause->frames.size() > 1 ? 1 : 0);
                EXPECT_EQ(evaluateIn(frame, expression),
                          step.frame1Check.section(QLatin1Char('='), 1));
            }
            switch (step.act) {
            case Act::Resume:
                session.resume();
                break;
            case Act::Over:
                session.stepOver();
                break;
            case Act::Into:
                session.stepInto();
                break;
            case Act::Out:
                session.stepOut();
                break;
            case Act::Stop:
                session.stop();
                break;
            }
        }
        ASSERT_EQ(job.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
        job.get();
        session.flush();
        EXPECT_EQ(globals.mainHost().Error().number, c.error)
            << globals.mainHost().Error().description.toStdString();
        EXPECT_EQ(driver.logged(), c.logged);
        session.setBreakpoints({});
        session.setPauseOnExceptions(false);
        session.setListener(nullptr);
        globals.teardown();
    }
    EXPECT_GT(PauseWait::waits(), waitsBefore);
}

// Every kind of line a breakpoint can be on stops there, whatever else the text holds.
TEST(DebugSession, StopsOnEveryKindOfLine) {
    const struct {
        const char* what;
        const char* code;
        int line;
        const char* expression; // evaluated in the paused frame
        const char* value;
    } cases[] = {
        // Only assignments of literals: the engine would run the text as data.
        {"a top-level line", "var a = 1;\nvar b = 2;\nvar c = 3;\n", 2, "a", "1"},
        {"a top-level line of a computing script", "var a = 1;\nvar b = a + 1;\nvar c = b * 2;\n",
         2, "a", "1"},
        {"a line in a block", "var a = 1;\nif (a) {\n  a = 5;\n}\n", 3, "a", "1"},
        {"a line in a function", "function f(x) {\n  var y = x + 1;\n  return y;\n}\nf(4);\n", 3,
         "y", "5"},
        {"a line in an arrow in a const", "const twice = (x) =>\n  x * 2;\nvar r = twice(21);\n", 2,
         "x", "21"},
        {"the last line, without a line end", "var a = 1;\nvar b = 2;", 2, "a", "1"},
        {"a script naming itself", "var a = 7;\nvar b = 2;\n//# sourceURL=page.js\n", 2, "a", "7"},
    };
    DebugSession& session = DebugSession::instance();
    ASSERT_TRUE(session.available());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Driver driver;
        session.setListener(&driver);
        session.setBreakpoints({at(c.line)});
        GlobalObjects globals;
        RecordingLog log;
        auto job = std::async(std::launch::async, [&] { return LoadCode(globals, c.code, log); });
        const auto pause = driver.nextPause();
        EXPECT_TRUE(pause);
        if (pause && !pause->frames.isEmpty()) {
            EXPECT_EQ(pause->frames.first().line, c.line);
            EXPECT_EQ(pause->frames.first().source, 1);
            EXPECT_EQ(evaluateIn(pause->frames.first(), c.expression), c.value);
        }
        // The breakpoint goes before the script does: nothing is left to stop it.
        session.setBreakpoints({});
        session.resume();
        ASSERT_EQ(job.wait_for(std::chrono::milliseconds(kWaitMs)), std::future_status::ready);
        EXPECT_EQ(globals.mainHost().Error().number, 0);
        session.setListener(nullptr);
        globals.teardown();
    }
}

TEST(DebugSession, LeftOutWithAReasonWhenASymbolIsMissing) {
    InspectorSymbols::Names names = InspectorSymbols::defaultNames();
    for (size_t i = 0; i < names.size(); ++i) {
        InspectorSymbols::Names broken = names;
        broken[i] = "_ZN9Inspector15RemoteInspector13noSuchSymbolEv";
        const InspectorSymbols symbols(broken);
        EXPECT_FALSE(symbols.available());
        EXPECT_TRUE(symbols.reason().contains(QLatin1String("noSuchSymbol")));
        EXPECT_TRUE(symbols.reason().startsWith(QStringLiteral("调试器不可用")));
    }
    EXPECT_TRUE(InspectorSymbols(names).available());
}

TEST(InspectorWire, FramesSurviveSplitsAndRefuseBrokenSizes) {
    const QByteArray good = InspectorWire::sendMessageToTarget(7, R"({"id":1,"method":"X"})");
    const struct {
        const char* what;
        QList<QByteArray> chunks;
        int frames;
        bool broken;
    } cases[] = {
        {"whole", {good}, 1, false},
        {"byte by byte",
         [&] {
             QList<QByteArray> bytes;
             for (char ch : good)
                 bytes << QByteArray(1, ch);
             return bytes;
         }(),
         1, false},
        {"two in one read", {good + InspectorWire::getTargetList()}, 2, false},
        {"a size beyond the limit", {QByteArray("\x7f\xff\xff\xff\x01X", 6)}, 0, true},
        {"a body without a name end", {QByteArray("\x00\x00\x00\x02\x01XY", 7)}, 0, true},
        {"an empty body", {QByteArray("\x00\x00\x00\x00\x01", 5)}, 0, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        InspectorWire::Reader reader;
        int frames = 0;
        for (const QByteArray& chunk : c.chunks) {
            reader.feed(chunk);
            while (auto f = reader.next()) {
                ++frames;
                if (f->name == "SendMessageToTarget") {
                    // Our own message is not one the engine sends, so it does not read as one.
                    EXPECT_FALSE(InspectorWire::frontendMessage(*f));
                }
            }
        }
        EXPECT_EQ(frames, c.frames);
        EXPECT_EQ(reader.broken(), c.broken);
    }
}
