#include "shell/MainWindow.h"

#include "debug/DebugController.h"
#include "desktop/DesktopServices.h"
#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/RecoveryStore.h"
#include "editor/ReplaceBar.h"
#include "editor/SearchRow.h"
#include "script/ConsoleValuesWindow.h"
#include "script/DemoScript.h"
#include "script/GlobalObjects.h"
#include "script/ScriptEngine.h"
#include "script/TextCodec.h"
#include "script/ValueText.h"
#include "shell/AnchorLayout.h"
#include "shell/BrowserCommands.h"
#include "shell/ClipboardCommands.h"
#include "shell/CodeToolCommands.h"
#include "shell/Dialogs.h"
#include "shell/KeyCommands.h"
#include "shell/OutputLog.h"
#include "shell/ReadSaveCommands.h"
#include "shell/ScriptCommands.h"
#include "shell/ServiceCommands.h"
#include "shell/SessionKeeper.h"
#include "shell/Workspace.h"
#include "tools/DecoderWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>

#include <limits>

namespace {
const QString kContactNumber = QStringLiteral("1029384756");
const QString kSampleAddress =
    QStringLiteral("https://cdnjs.cloudflare.com/ajax/libs/jsSHA/2.4.2/sha1.js");

QFont uiFont(int points = 9) {
    return QFont(QStringLiteral("微软雅黑"), points);
}

template <typename W> W* named(W* widget, const char* name) {
    widget->setObjectName(QString::fromUtf8(name));
    return widget;
}

QPushButton* button(const char* name, const QString& caption, QWidget* parent) {
    auto* b = named(new QPushButton(caption, parent), name);
    b->setFont(uiFont());
    return b;
}
} // namespace

MainWindow::MainWindow(GlobalObjects& globals, Dialogs& dialogs, QWidget* parent)
    : QMainWindow(parent), m_globals(globals), m_dialogs(dialogs) {
    setObjectName(QStringLiteral("VexoJS调试工具"));
    setWindowTitle(QStringLiteral("VexoJS调试工具1.9"));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(236, 236, 236));
    setPalette(p);
    buildControls();
    m_workspace =
        std::make_unique<Workspace>(Workspace{*this, *m_tabs, *m_output, m_dialogs, m_globals});
    buildMenus();
    m_globals.mainHost().withEngine([](ScriptEngine& e) { e.keepConsoleValues(true); });
    m_browserCommands = new BrowserCommands(*m_workspace, m_browser, Recovery::defaultDirectory());
    m_scriptCommands = new ScriptCommands(
        *m_workspace, {m_load, m_evaluate, m_functionList, m_signature, m_expression},
        *m_browserCommands);
    new CodeToolCommands(*m_workspace, {m_format, m_unpack, m_minify});
    new ClipboardCommands(*m_workspace, m_copy, m_makeSnippet, m_expression);
    new ServiceCommands(*m_workspace, m_expression);
    m_searchRow = new SearchRow(
        m_searchText, m_searchMode, m_search, [this] { return CurrentEditor(); }, this);
    m_searchRow->attachReplaceBar(new ReplaceBar(m_tabs));
    m_readSaveCommands =
        new ReadSaveCommands(*m_workspace, {m_fileMenu, m_openAction, m_saveAction, m_readScript,
                                            m_address, m_utf8Decode});
    new KeyCommands(*m_workspace, {menuBar(), m_load, m_evaluate, m_format, m_unpack, m_minify,
                                   m_searchText, m_search, m_searchRow, m_clear});
    auto updateTitle = [this] {
        const QString source = m_tabs->source(m_tabs->currentIndex());
        const QString base = QStringLiteral("VexoJS调试工具1.9");
        setWindowTitle(source.isEmpty() ? base : base + QStringLiteral(" - ") + source);
    };
    connect(m_tabs, &EditorTabs::labelsChanged, this, updateTitle);
    connect(m_tabs, &QTabWidget::currentChanged, this, updateTitle);
    move(50, 50);
    resize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    onCreated();
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls() {
    auto* central = new QWidget(this);
    central->setAutoFillBackground(true);
    auto* layout = new AnchorLayout(QSize(kClientWidth, kClientHeight), central);
    // The editors take 60% of the extra height, the output pane the rest.
    constexpr double kEditorShare = 0.6;
    const Anchors fixed;
    const Anchors stretchRight{0, 0, 1, 0};
    const Anchors followRight{1, 0, 1, 0};
    const Anchors belowEditors{0, kEditorShare, 0, kEditorShare};
    // In the row of buttons the search box takes the extra width, so the controls after
    // it stay at the right edge, under the other rows' right ends.
    const Anchors stretchBelowEditors{0, kEditorShare, 1, kEditorShare};
    const Anchors rightBelowEditors{1, kEditorShare, 1, kEditorShare};

    m_address = named(new QComboBox(central), "组合框_addr");
    m_address->setEditable(true);
    m_address->setFont(uiFont(10));
    layout->addWidgetAt(m_address, {30, 0, 626, 28}, stretchRight);
    m_utf8Decode = named(new QCheckBox(QStringLiteral("UTF-8解码"), central), "选择框1");
    layout->addWidgetAt(m_utf8Decode, {665, 0, 80, 24}, followRight);
    m_readScript = button("按钮_读取JS", QStringLiteral("读取JS"), central);
    layout->addWidgetAt(m_readScript, {744, 0, 80, 24}, followRight);

    m_tabs = new EditorTabs(central);
    layout->addWidgetAt(m_tabs, {0, 29, 850, 344}, {0, 0, 1, kEditorShare});

    m_load = button("按钮_add", QStringLiteral("加载代码"), central);
    layout->addWidgetAt(m_load, {8, 383, 56, 24}, belowEditors);
    m_browser = named(new QCheckBox(QStringLiteral("浏览器环境"), central), "选择框_浏览器环境");
    m_browser->setFont(uiFont());
    m_browser->setToolTip(
        QStringLiteral("加载代码前先建立浏览器环境（window、navigator、document……）"));
    layout->addWidgetAt(m_browser, {69, 385, 84, 21}, belowEditors);
    m_searchText = named(new QLineEdit(central), "编辑框_搜索内容");
    m_searchText->setFont(uiFont());
    layout->addWidgetAt(m_searchText, {157, 385, 131, 21}, stretchBelowEditors);
    m_searchMode = named(new QComboBox(central), "组合框_more");
    m_searchMode->setFont(uiFont());
    m_searchMode->addItems(
        {QStringLiteral("全字匹配"), QStringLiteral("区分大小写"), QStringLiteral("正则表达式")});
    m_searchMode->setCurrentIndex(1);
    layout->addWidgetAt(m_searchMode, {296, 383, 104, 20}, rightBelowEditors);
    m_search = button("按钮_search", QStringLiteral("查找"), central);
    layout->addWidgetAt(m_search, {410, 383, 69, 24}, rightBelowEditors);
    m_minify = button("按钮_pack", QStringLiteral("压缩"), central);
    layout->addWidgetAt(m_minify, {480, 383, 69, 24}, rightBelowEditors);
    m_clear = button("按钮_cla", QStringLiteral("清空"), central);
    layout->addWidgetAt(m_clear, {548, 383, 69, 24}, rightBelowEditors);
    m_unpack = button("按钮_unpack", QStringLiteral("eval解密"), central);
    layout->addWidgetAt(m_unpack, {618, 383, 69, 24}, rightBelowEditors);
    m_copy = button("按钮_copy", QStringLiteral("复制JS"), central);
    layout->addWidgetAt(m_copy, {688, 383, 69, 24}, rightBelowEditors);
    m_format = button("按钮_format", QStringLiteral("格式化"), central);
    layout->addWidgetAt(m_format, {757, 383, 69, 24}, rightBelowEditors);

    m_functionLabel = named(new QLabel(QStringLiteral("函数列表"), central), "标签1");
    m_functionLabel->setFont(uiFont());
    layout->addWidgetAt(m_functionLabel, {8, 416, 56, 24}, belowEditors);
    m_functionList = named(new QComboBox(central), "组合框_FunList");
    m_functionList->setFont(uiFont());
    layout->addWidgetAt(m_functionList, {69, 415, 218, 25}, belowEditors);
    m_signature = named(new QLabel(central), "标签_Fun");
    m_signature->setFont(uiFont());
    m_signature->setAutoFillBackground(true);
    QPalette white = m_signature->palette();
    white.setColor(QPalette::Window, Qt::white);
    m_signature->setPalette(white);
    layout->addWidgetAt(m_signature, {297, 416, 529, 24}, stretchBelowEditors);

    m_expression = named(new QLineEdit(central), "编辑框_eval");
    m_expression->setFont(uiFont());
    // QLineEdit cuts at 32,767 characters by default, silently: a pasted expression
    // must arrive whole.
    m_expression->setMaxLength(std::numeric_limits<int>::max());
    layout->addWidgetAt(m_expression, {8, 445, 666, 24}, stretchBelowEditors);
    m_evaluate = button("按钮_run", QStringLiteral("计算表达式"), central);
    layout->addWidgetAt(m_evaluate, {682, 445, 72, 24}, rightBelowEditors);
    m_makeSnippet = button("按钮_go", QStringLiteral("生成E代码"), central);
    layout->addWidgetAt(m_makeSnippet, {754, 445, 72, 24}, rightBelowEditors);

    m_output = new OutputLog(central);
    layout->addWidgetAt(m_output, {8, 477, 817, 144}, {0, kEditorShare, 1, 1});
    setCentralWidget(central);

    connect(m_clear, &QPushButton::clicked, this, &MainWindow::onClearClicked);
    connect(m_output, &OutputLog::openInEditorRequested, this, &MainWindow::openInEmptyEditor);
    connect(m_output, &OutputLog::consoleValues, this, &MainWindow::showConsoleValues);

    // Commands that are not available in this build stay visible but disabled.
    for (QWidget* w : std::initializer_list<QWidget*>{
             m_utf8Decode, m_readScript, m_load, m_browser, m_searchText, m_searchMode, m_search,
             m_minify, m_unpack, m_copy, m_format, m_functionList, m_evaluate, m_makeSnippet})
        w->setEnabled(false);
}

namespace {
// Menus and their entries are found by object name ("菜单_" and the text without its
// accelerator), never by the text shown.
QMenu* addNamedMenu(QMenuBar* bar, const QString& title) {
    QMenu* menu = bar->addMenu(title);
    menu->setObjectName(QStringLiteral("菜单_") +
                        QString(title).remove(QRegularExpression(QStringLiteral("\\(&.\\)$"))));
    return menu;
}
} // namespace

QMenu* MainWindow::menuNamed(const QString& name) const {
    return m_workspace->menu(name);
}

QAction* MainWindow::actionNamed(const QString& name) const {
    return m_workspace->action(name);
}

void MainWindow::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setFont(uiFont());
    QMenu* file = m_fileMenu = addNamedMenu(bar, QStringLiteral("文件(&F)"));
    QAction* open = m_openAction = Workspace::addNamedAction(file, QStringLiteral("打开"));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    QAction* save = m_saveAction = Workspace::addNamedAction(file, QStringLiteral("导出"));
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QMenu* about = addNamedMenu(bar, QStringLiteral("关于(&A)"));
    QAction* version = Workspace::addNamedAction(about, QStringLiteral("软件版本"));
    QAction* contact = Workspace::addNamedAction(about, QStringLiteral("联系作者"));
    QAction* update = Workspace::addNamedAction(about, QStringLiteral("检查更新"));
    QMenu* tools = addNamedMenu(bar, QStringLiteral("工具(&T)"));
    QAction* inspect = Workspace::addNamedAction(tools, QStringLiteral("数组对象查看"));
    inspect->setEnabled(false); // shown, never active
    QAction* reference = Workspace::addNamedAction(tools, QStringLiteral("JavaScript速查"));
    QAction* decoder = Workspace::addNamedAction(tools, QStringLiteral("解码工具"));
    for (QAction* a : {open, save, version, contact, update, reference, decoder})
        a->setEnabled(false);
    decoder->setEnabled(true);
    connect(decoder, &QAction::triggered, this, &MainWindow::ShowDecoderWindow);

    m_trayMenu = new QMenu(QStringLiteral("托盘菜单"), this);
    m_trayMenu->setObjectName(QStringLiteral("托盘菜单"));
    connect(Workspace::addNamedAction(m_trayMenu, QStringLiteral("显示程序")), &QAction::triggered,
            this, &MainWindow::ShowMainWindow);
    connect(Workspace::addNamedAction(m_trayMenu, QStringLiteral("退出程序")), &QAction::triggered,
            this, &QWidget::close);
}

void MainWindow::onCreated() {
    m_versionText = formatSingle(kVersion);
    const QString title = QStringLiteral("VexoJS调试工具") + m_versionText;
    TrayIconRecord& tray = m_globals.trayIcon();
    tray.tip = title;
    tray.balloonText = title;
    tray.balloonTitle = QStringLiteral("欢迎");
    new DesktopServices(*m_workspace, m_trayMenu, m_versionText); // the tray, the Alt+Q hot key

    m_tabs->editor(1)->Configure();
    m_tabs->editor(2)->Configure();
    CodeEditor* first = m_tabs->editor(0);
    first->Configure();
    first->InsertText(convertEncoding(demoScriptGbk(), "GBK", "UTF-8"));
    for (int i = 3; i < EditorTabs::kEditorCount; ++i)
        m_tabs->editor(i)->Configure();
    m_tabs->setCurrentIndex(0);
    m_tabs->ShowEditor(0);

    m_output->message(QStringLiteral("VexoJS调试工具启动成功,作者：Marlo，QQ") + kContactNumber +
                      QStringLiteral(",版本") + m_versionText);
    m_output->message(QStringLiteral("帮助：快捷键Alt+Q最小化至托盘/显示"));
    m_output->message(QStringLiteral("欢迎使用"));

    m_address->addItem(kSampleAddress, 0);
    m_address->setCurrentIndex(0);
    m_globals.codeLoaded = 0;
}

CodeEditor* MainWindow::CurrentEditor() {
    m_currentEditor = m_tabs->editorForPage(m_tabs->currentIndex());
    return m_currentEditor;
}

void MainWindow::onClearClicked() {
    CurrentEditor()->ClearAll();
}

void MainWindow::openInEmptyEditor(const QString& text) {
    // Only an empty editor is used: nobody's code is replaced without asking.
    for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
        CodeEditor* editor = m_tabs->editor(i);
        if (editor->Length() != 0)
            continue;
        editor->SetText(text.toUtf8());
        m_tabs->setCurrentIndex(i);
        return;
    }
    m_output->message(
        QStringLiteral("没有空的编辑框，未打开：请先清空一个编辑框，或使用“复制完整结果”"));
}

void MainWindow::ShowDecoderWindow() {
    if (!m_decoder)
        m_decoder = std::make_unique<DecoderWindow>();
    if (m_decoder->isMinimized())
        m_decoder->showNormal();
    m_decoder->show();
    m_decoder->raise();
    m_decoder->activateWindow();
}

void MainWindow::showConsoleValues(const std::vector<OutputValue>& values) {
    if (!m_consoleValues) {
        m_consoleValues = new ConsoleValuesWindow(this);
        m_consoleValues->setAttribute(Qt::WA_ShowWithoutActivating);
    }
    m_consoleValues->showValues(values);
    m_consoleValues->show();
    m_consoleValues->raise();
}

SessionControls MainWindow::sessionControls() const {
    return {m_address,    m_utf8Decode,       m_browser,
            m_searchMode, *m_browserCommands, *m_readSaveCommands};
}

DebugControls MainWindow::debugControls() {
    return {*this, m_load, m_evaluate};
}

void MainWindow::ShowMainWindow() {
    showNormal();
    raise();
    activateWindow();
}
