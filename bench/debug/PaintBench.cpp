// Pause to paint in the window (offscreen): from the engine's report of a pause to the
// paused window painted with the stack and the locals of the frame, for breakpoint hits
// and for steps, in the 1 MB script of Workloads.h held in the function its loop calls.
// Usage: vexo-debug-paint-bench [pauses]

#include "Workloads.h"

#include "debug/BreakpointMargin.h"
#include "debug/DebugController.h"
#include "debug/DebugWindow.h"
#include "editor/CodeEditor.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/MainWindow.h"
#include "shell/ScriptBusyBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <vector>

namespace {
QElapsedTimer g_clock;

// Notes when each pause is reported, then hands it to the window's controller.
class Stamp : public DebugListener {
public:
    explicit Stamp(DebugListener* next) : m_next(next) {}
    void paused(const PauseInfo& info) override {
        reported.store(g_clock.nsecsElapsed());
        m_next->paused(info);
    }
    void resumed() override { m_next->resumed(); }
    void probed(const ProbeHit& hit) override { m_next->probed(hit); }
    std::atomic<qint64> reported{-1};

private:
    DebugListener* m_next;
};

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}
} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    const int pauses = argc > 1 ? std::max(2, atoi(argv[1])) : 20;
    g_clock.start();
    {
        GlobalObjects globals;
        WidgetDialogs dialogs;
        MainWindow window(globals, dialogs);
        ScriptBusyBox busy(&window);
        ScriptThread::instance().setWaiter(&busy);
        DebugController debugger(window);
        if (!debugger.isAvailable()) {
            std::fprintf(stderr, "the debugger is not available\n");
            return 1;
        }
        Stamp stamp(&debugger);
        DebugSession::instance().setListener(&stamp);
        window.show();
        const QString big = bigScript();
        CodeEditor* editor = window.CurrentEditor();
        editor->SetText(big.toUtf8());
        // "var x = a + 2;" in f2(), called once per turn of the loop; the step goes to the
        // next line of f2().
        BreakpointMargin::of(editor)->set(9);
        DebugWindow* dw = debugger.debugWindow();
        std::vector<double> hits, steps;
        int seen = 0;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            const qint64 reported = stamp.reported.load();
            QTreeWidgetItem* scope = dw->scopeTree()->topLevelItem(0);
            if (reported < 0 || !dw->isVisible() || dw->stackList()->count() == 0 || !scope ||
                scope->childCount() == 0)
                return;
            dw->repaint();
            window.repaint();
            const double ms = double(g_clock.nsecsElapsed() - reported) / 1e6;
            stamp.reported.store(-1);
            // Pauses alternate: a breakpoint hit, then the step over from it.
            (seen % 2 == 0 ? hits : steps).push_back(ms);
            ++seen;
            if (seen >= 2 * pauses) {
                BreakpointMargin::of(editor)->clearAll();
                debugger.continueAction()->trigger();
            } else if (seen % 2 == 1) {
                debugger.stepOverAction()->trigger();
            } else {
                debugger.continueAction()->trigger();
            }
            // A step leaves the window up until the next pause fills it: what it shows now
            // goes, so only the next pause's stack and locals count.
            dw->stackList()->clear();
            dw->scopeTree()->clear();
        });
        user.start(1);
        window.loadButton()->click();
        user.stop();
        std::printf("pause to paint (stack and locals), 1 MB script: breakpoint hit %.1f ms, "
                    "step over %.1f ms (medians of %zu and %zu)\n",
                    median(hits), median(steps), hits.size(), steps.size());
        DebugSession::instance().setListener(nullptr);
        ScriptThread::instance().setWaiter(nullptr);
    }
    ScriptThread::instance().shutdown();
    return 0;
}
