// The debugger in the real window (offscreen): breakpoints set in the margin, "加载代码"
// held at them, the stack, the scopes and an evaluation in the paused frame, logpoints in
// the output pane, "停止" while paused, and the window without a debugger when the engine's
// inspector cannot be found.

#include "../support/WindowFixture.h"

#include "debug/BreakpointMargin.h"
#include "debug/DebugController.h"
#include "debug/DebugWindow.h"
#include "editor/CodeEditor.h"
#include "engine/InspectorSymbols.h"
#include "shell/OutputLog.h"
#include "shell/ScriptBusyBox.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

namespace {
const char* const kCode = "function inner(x) {\n"
                          "  var y = x * 2;\n"
                          "  return y + 1;\n"
                          "}\n"
                          "var total = 0;\n"
                          "for (var i = 0; i < 3; i++) {\n"
                          "  total += inner(i);\n"
                          "}\n";

struct DebugFixture : WindowFixture {
    ScriptBusyBox busy{&window};
    DebugController debugger{window.workspace(), window.debugControls()};
    DebugFixture() { ScriptThread::instance().setWaiter(&busy); }
    ~DebugFixture() { ScriptThread::instance().setWaiter(nullptr); }

    CodeEditor* editor() { return window.CurrentEditor(); }
    QString output() { return window.outputLog().toPlainText(); }
};

// Waits (events running) until the condition holds; false after 15 s.
template <typename F> bool waitFor(F condition) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > 15000)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

QStringList childTexts(QTreeWidgetItem* item) {
    QStringList out;
    for (int i = 0; item && i < item->childCount(); ++i)
        out << item->child(i)->text(0) + QLatin1Char('=') + item->child(i)->text(1);
    return out;
}
} // namespace

TEST(DebugWindow, HoldsAtMarginBreakpointsShowsTheFrameAndLetsGo) {
    enum class Then { Continue, Stop };
    const struct {
        const char* what;
        int line;    // 0-based line of the mark
        QString log; // a logpoint's expression
        Then then;
        QString output; // a part of the output pane afterwards
    } cases[] = {
        {"continue after looking", 2, {}, Then::Continue, QStringLiteral("-->代码加载成功")},
        {"stop while paused", 2, {}, Then::Stop, QStringLiteral("错误号=5100")},
        {"a logpoint writes and never holds", 2, QStringLiteral("'y=' + y"), Then::Continue,
         QStringLiteral("-->日志点 第3行：y=0\n-->日志点 第3行：y=2\n-->日志点 第3行：y=4\n")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DebugFixture f;
        ASSERT_TRUE(f.debugger.isAvailable());
        f.editor()->SetText(kCode);
        BreakpointMargin* margin = BreakpointMargin::of(f.editor());
        ASSERT_TRUE(margin);
        if (c.log.isEmpty()) {
            // A click in the breakpoint margin, as the user makes it.
            emit f.editor()->SCN_MARGINCLICK(f.editor()->PositionFromLine(c.line), 0,
                                             BreakpointMargin::kMargin);
        } else {
            margin->set(c.line, {}, c.log);
        }
        ASSERT_TRUE(margin->has(c.line));
        bool looked = false;
        DebugWindow* dw = f.debugger.debugWindow();
        // The user, step by step: every 30 ms the timer looks at the window and acts once the
        // window shows what the step waits for (the hold runs inside the click, as for a user).
        int step = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            QTreeWidgetItem* scope = dw->scopeTree()->topLevelItem(0);
            switch (step) {
            case 0:
                if (!dw->isVisible() || dw->stackList()->count() == 0 || !scope ||
                    scope->childCount() < 2)
                    return;
                EXPECT_TRUE(
                    dw->stackList()->item(0)->text().startsWith(QStringLiteral("inner  第3行")));
                EXPECT_TRUE(f.editor()->LineMarkers(c.line) &
                            (1 << BreakpointMargin::kCurrentMarker));
                EXPECT_EQ(scope->text(0), QStringLiteral("局部"));
                EXPECT_TRUE(childTexts(scope).contains(QStringLiteral("y=0")))
                    << childTexts(scope).join(' ').toStdString();
                if (!qEnvironmentVariableIsEmpty("VEXO_DEBUG_SCREENSHOT")) {
                    const QPixmap main = f.window.grab();
                    const QPixmap side = dw->grab();
                    QPixmap both(main.width() + side.width(),
                                 std::max(main.height(), side.height()));
                    both.fill(Qt::white);
                    QPainter p(&both);
                    p.drawPixmap(0, 0, main);
                    p.drawPixmap(main.width(), 0, side);
                    p.end();
                    both.save(qEnvironmentVariable("VEXO_DEBUG_SCREENSHOT"));
                }
                // The caller's frame: an evaluation there.
                dw->stackList()->setCurrentRow(1);
                dw->expressionEdit()->setText(QStringLiteral("i + 100"));
                dw->findChild<QPushButton*>(QStringLiteral("按钮_帧计算"))->click();
                step = 1;
                return;
            case 1:
                if (dw->resultLabel()->text().isEmpty())
                    return;
                EXPECT_EQ(dw->resultLabel()->text(), QStringLiteral("结果：100"));
                looked = true;
                margin->clearAll();
                (c.then == Then::Stop ? f.debugger.stopAction() : f.debugger.continueAction())
                    ->trigger();
                step = 2;
                return;
            default:
                // Marks cleared while held apply at the next entry: go on past the rest.
                if (dw->isVisible() && f.debugger.continueAction()->isEnabled())
                    f.debugger.continueAction()->trigger();
            }
        });
        user.start(30);
        f.window.loadButton()->click();
        user.stop();
        EXPECT_EQ(c.log.isEmpty(), looked);
        EXPECT_FALSE(dw->isVisible());
        EXPECT_TRUE(waitFor([&] { return f.output().contains(c.output); }))
            << f.output().toStdString();
        margin->clearAll();
    }
}

// "调用跟踪…" asked for through its dialog, as the user does; after "加载代码" the window
// "调用跟踪" shows the calls as an indented tree and counts those beyond the kept ones.
TEST(DebugWindow, TraceWindowShowsTheCallTree) {
    DebugFixture f;
    ASSERT_TRUE(f.debugger.isAvailable());
    QAction* trace = f.window.findChild<QAction*>(QStringLiteral("菜单_调用跟踪…"));
    ASSERT_TRUE(trace);
    QTimer::singleShot(0, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* dialog = qobject_cast<QInputDialog*>(w)) {
                dialog->setTextValue(QStringLiteral("fact, add"));
                dialog->accept();
            }
    });
    trace->trigger();
    f.editor()->SetText("function add(a, b) { return a + b; }\n"
                        "function fact(n) {\n"
                        "  if (n < 0) throw new Error('neg');\n"
                        "  return n <= 1 ? 1 : n * fact(n - 1);\n"
                        "}\n"
                        "fact(2);\n"
                        "try { fact(-1); } catch (e) {}\n"
                        "add('x', [1, 2]);\n"
                        "for (var j = 0; j < 6000; j++) add(j, 1);\n");
    f.window.loadButton()->click();
    QPlainTextEdit* view = f.debugger.traceView();
    ASSERT_TRUE(view);
    EXPECT_TRUE(view->isVisible());
    EXPECT_EQ(view->windowTitle(), QStringLiteral("调用跟踪"));
    const QStringList lines = view->toPlainText().split(QLatin1Char('\n'));
    // Where each kind of line must be: the first calls in order, then the end of the tree.
    const struct {
        int index; // from the end when negative
        QString line;
    } expected[] = {
        {0, QStringLiteral("fact(2) → 2")},
        {1, QStringLiteral("  fact(1) → 1")},
        {2, QStringLiteral("fact(-1) 抛出 Error: neg")},
        {3, QStringLiteral("add(\"x\", Array(2)) → \"x1,2\"")},
        {4, QStringLiteral("add(0, 1) → 1")},
        // 4 calls before the loop, 6,000 in it: 5,000 kept.
        {-2, QStringLiteral("add(4995, 1) → 4996")},
        {-1, QStringLiteral("…另有 1004 次调用未记录")},
    };
    ASSERT_EQ(lines.size(), 5001);
    for (const auto& e : expected)
        EXPECT_EQ(lines.value(e.index < 0 ? lines.size() + e.index : e.index), e.line);
    DebugSession::instance().setTraceNames({});
}

// The symbols are looked up once per process: this test runs in a process of its own, as
// ctest runs every test.
TEST(DebugWindow, LeftOutWithAReasonWhenTheInspectorCannotBeFound) {
    InspectorSymbols::Names names = InspectorSymbols::defaultNames();
    names[3] = "_ZN9Inspector15RemoteInspector8noStartEv";
    InspectorSymbols::useNamesForTesting(names);
    DebugFixture f;
    EXPECT_FALSE(f.debugger.isAvailable());
    EXPECT_FALSE(f.window.menuBar()->findChild<QMenu*>(QStringLiteral("菜单_调试")));
    EXPECT_FALSE(f.window.findChild<QToolBar*>(QStringLiteral("调试工具栏")));
    EXPECT_FALSE(BreakpointMargin::of(f.editor()));
    EXPECT_TRUE(f.output().contains(QStringLiteral("-->调试器不可用：脚本引擎库中找不到 "
                                                   "_ZN9Inspector15RemoteInspector8noStartEv")));
    // Everything else goes on as before.
    f.editor()->SetText("var a = 1;");
    f.window.loadButton()->click();
    EXPECT_TRUE(f.output().contains(QStringLiteral("-->代码加载成功")));
}
