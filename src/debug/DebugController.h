#pragma once
// The debugger in the window: a breakpoint margin in every editor, the "调试" menu and
// toolbar, the paused state (the current line, the debug window, the output of logpoints)
// and the call tree after a traced job. When the engine's debugger cannot be reached,
// none of it appears and the output pane says why.
//
// While a script is held, the window takes input only in the debug window: nothing that
// would hand the script thread new work can be started until the script goes on.

#include "debug/DebugSession.h"
#include "shell/Workspace.h"

#include <QObject>

#include <memory>

class CodeEditor;
class DebugWindow;
class QAction;
class QEventLoop;
class QMainWindow;
class QPlainTextEdit;
class QPushButton;
class QToolBar;

// Where the debugger shows itself: the window that gets its menu and toolbar, and the two
// buttons after which a traced job's call tree comes up.
struct DebugControls {
    QMainWindow& window;
    QPushButton* load;
    QPushButton* evaluate;
};

class DebugController : public QObject, public DebugListener {
    Q_OBJECT
public:
    DebugController(const Workspace& workspace, const DebugControls& controls);
    ~DebugController() override;

    bool isAvailable() const { return m_available; }
    DebugWindow* debugWindow() const { return m_debugWindow; }
    QToolBar* toolBar() const { return m_toolBar; }
    QPlainTextEdit* traceView() const { return m_traceView; }
    QAction* continueAction() const { return m_continue; }
    QAction* stepOverAction() const { return m_stepOver; }
    QAction* stepIntoAction() const { return m_stepInto; }
    QAction* stepOutAction() const { return m_stepOut; }
    QAction* stopAction() const { return m_stop; }
    QAction* pauseOnExceptionsAction() const { return m_pauseOnExceptions; }
    QAction* ignoreDebuggerAction() const { return m_ignoreDebugger; }

    // DebugListener (inspector thread).
    void paused(const PauseInfo& info) override;
    void resumed() override;
    void probed(const ProbeHit& hit) override;

signals:
    void pausedOnGui(const PauseInfo& info);
    void resumedOnGui();

private:
    void buildActions();
    void syncBreakpoints();
    void hold(const PauseInfo& info);
    void release();
    void showTrace();
    void askTrace();
    CodeEditor* loadedEditor() const;

    Workspace m_work;
    QMainWindow& m_window;
    bool m_available = false;
    DebugWindow* m_debugWindow = nullptr;
    QToolBar* m_toolBar = nullptr;
    QPlainTextEdit* m_traceView = nullptr;
    QAction* m_continue = nullptr;
    QAction* m_stepOver = nullptr;
    QAction* m_stepInto = nullptr;
    QAction* m_stepOut = nullptr;
    QAction* m_stop = nullptr;
    QAction* m_pauseOnExceptions = nullptr;
    QAction* m_ignoreDebugger = nullptr;
    QAction* m_trace = nullptr;
    QAction* m_clearAll = nullptr;
    QEventLoop* m_hold = nullptr; // running while a pause lasts
};
