#include "debug/DebugController.h"

#include "debug/BreakpointMargin.h"
#include "debug/DebugWindow.h"
#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "shell/OutputLog.h"

#include <QEventLoop>
#include <QInputDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolBar>

DebugController::DebugController(const Workspace& workspace, const DebugControls& controls)
    : QObject(&controls.window), m_work(workspace), m_window(controls.window) {
    QString why;
    m_available = DebugSession::instance().available(&why);
    if (!m_available) {
        m_work.output.message(why);
        return;
    }
    for (int page = 0; page < EditorTabs::kEditorCount; ++page) {
        CodeEditor* editor = m_work.tabs.editorForPage(page);
        if (!editor)
            continue;
        auto* margin = new BreakpointMargin(editor);
        connect(margin, &BreakpointMargin::changed, this, &DebugController::syncBreakpoints);
        // Marks move with inserted and removed lines; the debugger learns where they are.
        connect(editor, &QsciScintillaBase::SCN_MODIFIED, this,
                [this](int, int, const char*, int, int linesAdded) {
                    if (linesAdded != 0)
                        syncBreakpoints();
                });
    }
    connect(&m_work.tabs, &QTabWidget::currentChanged, this, &DebugController::syncBreakpoints);
    m_debugWindow = new DebugWindow(&m_window);
    m_debugWindow->setWindowModality(Qt::ApplicationModal);
    connect(m_debugWindow, &DebugWindow::frameChosen, this, [this](int source, int line) {
        if (auto* margin = BreakpointMargin::of(loadedEditor()))
            margin->showCurrent(source == 1 ? line - 1 : -1);
    });
    connect(m_debugWindow, &DebugWindow::evaluated, this,
            [this](const QString& expression, const QString& text, bool thrown) {
                m_work.output.message(
                    (thrown ? QStringLiteral("计算出错：") : QStringLiteral("计算结果：")) +
                    expression + QStringLiteral(" = ") + text);
            });
    buildActions();
    connect(m_debugWindow, &DebugWindow::closedWhilePaused, this,
            [] { DebugSession::instance().resume(); });
    connect(this, &DebugController::pausedOnGui, this, &DebugController::hold,
            Qt::QueuedConnection);
    connect(this, &DebugController::resumedOnGui, this, &DebugController::release,
            Qt::QueuedConnection);
    // After the load or evaluation (their own handlers were connected first).
    connect(controls.load, &QPushButton::clicked, this, &DebugController::showTrace);
    connect(controls.evaluate, &QPushButton::clicked, this, &DebugController::showTrace);
    DebugSession::instance().setIgnoreDebuggerStatements(true);
    DebugSession::instance().setListener(this);
}

DebugController::~DebugController() {
    if (m_available) {
        DebugSession::instance().setListener(nullptr);
        DebugSession::instance().setBreakpoints({});
        DebugSession::instance().setTraceNames({});
        DebugSession::instance().setPauseOnExceptions(false);
    }
}

void DebugController::buildActions() {
    DebugSession& session = DebugSession::instance();
    auto make = [this](const QString& text, const QKeySequence& keys) {
        auto* a = new QAction(text, this);
        a->setShortcut(keys);
        a->setEnabled(false);
        return a;
    };
    m_continue = make(QStringLiteral("继续"), QKeySequence(Qt::Key_F8));
    m_stepOver = make(QStringLiteral("单步跳过"), QKeySequence(Qt::Key_F10));
    m_stepInto = make(QStringLiteral("单步进入"), QKeySequence(Qt::Key_F11));
    m_stepOut = make(QStringLiteral("单步跳出"), QKeySequence(Qt::SHIFT | Qt::Key_F11));
    m_stop = make(QStringLiteral("停止"), QKeySequence());
    connect(m_continue, &QAction::triggered, this, [&session] { session.resume(); });
    connect(m_stepOver, &QAction::triggered, this, [&session] { session.stepOver(); });
    connect(m_stepInto, &QAction::triggered, this, [&session] { session.stepInto(); });
    connect(m_stepOut, &QAction::triggered, this, [&session] { session.stepOut(); });
    connect(m_stop, &QAction::triggered, this, [&session] { session.stop(); });
    m_pauseOnExceptions = new QAction(QStringLiteral("暂停于异常"), this);
    m_pauseOnExceptions->setCheckable(true);
    connect(m_pauseOnExceptions, &QAction::toggled, this,
            [&session](bool on) { session.setPauseOnExceptions(on); });
    m_ignoreDebugger = new QAction(QStringLiteral("忽略脚本中的debugger"), this);
    m_ignoreDebugger->setCheckable(true);
    m_ignoreDebugger->setChecked(true);
    connect(m_ignoreDebugger, &QAction::toggled, this,
            [&session](bool on) { session.setIgnoreDebuggerStatements(on); });
    m_trace = new QAction(QStringLiteral("调用跟踪…"), this);
    connect(m_trace, &QAction::triggered, this, &DebugController::askTrace);
    m_clearAll = new QAction(QStringLiteral("清除所有断点"), this);
    connect(m_clearAll, &QAction::triggered, this, [this] {
        for (int page = 0; page < EditorTabs::kEditorCount; ++page)
            if (auto* margin = BreakpointMargin::of(m_work.tabs.editorForPage(page)))
                margin->clearAll();
    });

    QMenu* menu = new QMenu(QStringLiteral("调试(&D)"), &m_window);
    menu->setObjectName(QStringLiteral("菜单_调试"));
    // Found by name, as every menu entry is.
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop, m_pauseOnExceptions,
                       m_ignoreDebugger, m_trace, m_clearAll})
        a->setObjectName(QStringLiteral("菜单_") + a->text());
    m_window.menuBar()->insertMenu(m_window.menuBar()->actions().value(1), menu);
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop})
        menu->addAction(a);
    menu->addSeparator();
    for (QAction* a : {m_pauseOnExceptions, m_ignoreDebugger, m_trace, m_clearAll})
        menu->addAction(a);
    m_toolBar = new QToolBar(QStringLiteral("调试"), &m_window);
    m_toolBar->setObjectName(QStringLiteral("调试工具栏"));
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop})
        m_toolBar->addAction(a);
    m_toolBar->addSeparator();
    m_toolBar->addAction(m_pauseOnExceptions);
    m_toolBar->addAction(m_ignoreDebugger);
    m_window.addToolBar(Qt::TopToolBarArea, m_toolBar);
    // The controls keep the client area they were laid out for: the window grows instead.
    m_window.resize(m_window.width(), m_window.height() + m_toolBar->sizeHint().height());
    // While the debug window holds the input, its own bar carries the same actions.
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop})
        m_debugWindow->toolBar()->addAction(a);
}

CodeEditor* DebugController::loadedEditor() const {
    return m_work.currentEditor();
}

void DebugController::syncBreakpoints() {
    // "加载代码" loads the current editor: its marks are the breakpoints of the first text.
    auto* margin = BreakpointMargin::of(loadedEditor());
    DebugSession::instance().setBreakpoints(margin ? margin->breakpoints() : QList<Breakpoint>());
}

void DebugController::paused(const PauseInfo& info) {
    emit pausedOnGui(info);
}

void DebugController::resumed() {
    emit resumedOnGui();
}

void DebugController::probed(const ProbeHit& hit) {
    const QString line =
        QStringLiteral("日志点 第%1行：%2").arg(hit.breakpoint.line).arg(hit.value.text());
    QMetaObject::invokeMethod(
        this, [this, line] { m_work.output.message(line); }, Qt::QueuedConnection);
}

void DebugController::hold(const PauseInfo& info) {
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop})
        a->setEnabled(true);
    m_debugWindow->showPause(info);
    m_debugWindow->show();
    m_debugWindow->raise();
    m_debugWindow->activateWindow();
    if (m_hold)
        return; // a further pause inside the same hold
    QEventLoop loop;
    m_hold = &loop;
    loop.exec();
    m_hold = nullptr;
}

void DebugController::release() {
    for (QAction* a : {m_continue, m_stepOver, m_stepInto, m_stepOut, m_stop})
        a->setEnabled(false);
    if (auto* margin = BreakpointMargin::of(loadedEditor()))
        margin->showCurrent(-1);
    m_debugWindow->clearPause();
    m_debugWindow->hide();
    if (m_hold)
        m_hold->quit();
}

void DebugController::askTrace() {
    bool ok = false;
    const QString names = QInputDialog::getText(
        &m_window, QStringLiteral("调用跟踪"),
        QStringLiteral("要跟踪的函数（以逗号分隔，留空则不跟踪）："), QLineEdit::Normal,
        DebugSession::instance().traceNames().join(QStringLiteral(",")), &ok);
    if (!ok)
        return;
    QStringList list;
    for (const QString& n : names.split(QLatin1Char(','), Qt::SkipEmptyParts))
        list << n.trimmed();
    DebugSession::instance().setTraceNames(list);
}

void DebugController::showTrace() {
    if (DebugSession::instance().traceNames().isEmpty())
        return;
    qint64 dropped = 0;
    QStringList lines = DebugSession::instance().takeTrace(&dropped);
    if (dropped > 0)
        lines << QStringLiteral("…另有 %1 次调用未记录").arg(dropped);
    if (!m_traceView) {
        m_traceView = new QPlainTextEdit(&m_window);
        m_traceView->setWindowFlag(Qt::Window);
        m_traceView->setObjectName(QStringLiteral("调用跟踪"));
        m_traceView->setWindowTitle(QStringLiteral("调用跟踪"));
        m_traceView->setReadOnly(true);
        m_traceView->resize(520, 420);
    }
    m_traceView->setPlainText(lines.isEmpty() ? QStringLiteral("（没有记录到调用）")
                                              : lines.join(QLatin1Char('\n')));
    m_traceView->show();
}
