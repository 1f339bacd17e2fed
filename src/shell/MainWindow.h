#pragma once
// The main window: the controls and menus, the start-up steps that run once it exists,
// the output pane and the lookup of the current editor.

#include "engine/ScriptOutput.h"
#include "shell/Version.h"

#include <QMainWindow>

#include <memory>
#include <vector>

class CodeEditor;
class ConsoleValuesWindow;
class DecoderWindow;
class Dialogs;
class EditorTabs;
class GlobalObjects;
class OutputLog;
struct Workspace;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class ReadSaveCommands;
class BrowserCommands;
class ScriptCommands;
class SearchRow;
struct DebugControls;
struct SessionControls;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr float kVersion = kProgramVersion;
    // Client area of the window at its default size; the controls' base positions.
    static constexpr int kClientWidth = 850;
    static constexpr int kClientHeight = 629;

    MainWindow(GlobalObjects& globals, Dialogs& dialogs, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The editor of the selected page; refreshes the current-editor reference.
    CodeEditor* CurrentEditor();
    OutputLog& outputLog() const { return *m_output; }
    EditorTabs& tabs() const { return *m_tabs; }
    GlobalObjects& globals() const { return m_globals; }
    // What the window's commands and services are given.
    const Workspace& workspace() const { return *m_workspace; }
    // What the session keeper and the debugger are given besides the workspace.
    SessionControls sessionControls() const;
    DebugControls debugControls();
    Dialogs& dialogs() const { return m_dialogs; }
    QString versionText() const { return m_versionText; }
    QMenu* trayMenu() const { return m_trayMenu; }
    QPushButton* loadButton() const { return m_load; }
    // "浏览器环境", beside "加载代码".
    QCheckBox* browserBox() const { return m_browser; }
    BrowserCommands& browserCommands() const { return *m_browserCommands; }
    QPushButton* evaluateButton() const { return m_evaluate; }
    QPushButton* formatButton() const { return m_format; }
    QPushButton* unpackButton() const { return m_unpack; }
    QPushButton* minifyButton() const { return m_minify; }
    QPushButton* copyButton() const { return m_copy; }
    QPushButton* snippetButton() const { return m_makeSnippet; }
    QComboBox* functionList() const { return m_functionList; }
    QLabel* signatureLabel() const { return m_signature; }
    QLineEdit* expressionEdit() const { return m_expression; }
    ScriptCommands& scriptCommands() const { return *m_scriptCommands; }
    QComboBox* addressBox() const { return m_address; }
    QCheckBox* utf8DecodeBox() const { return m_utf8Decode; }
    QPushButton* readScriptButton() const { return m_readScript; }
    QAction* openAction() const { return m_openAction; }
    QAction* saveAction() const { return m_saveAction; }
    QMenu* fileMenu() const { return m_fileMenu; }
    QComboBox* searchModeBox() const { return m_searchMode; }
    QLineEdit* searchBox() const { return m_searchText; }
    QPushButton* searchButton() const { return m_search; }
    QPushButton* clearButton() const { return m_clear; }
    SearchRow& searchRow() const { return *m_searchRow; }
    ReadSaveCommands& readSaveCommands() const { return *m_readSaveCommands; }

    // A menu or menu entry by object name: "菜单_" and its text without the accelerator
    // ("菜单_工具", "菜单_退出程序"); nullptr when there is none.
    QMenu* menuNamed(const QString& name) const;
    QAction* actionNamed(const QString& name) const;

    // "清空": empties the current editor; nothing is logged or asked.
    void onClearClicked();
    // "在新编辑框中打开" of the output pane: the text goes into the first empty editor,
    // which is selected; with none empty the pane says so and no editor changes.
    void openInEmptyEditor(const QString& text);
    // "显示程序": shows and restores the window.
    void ShowMainWindow();
    // "解码工具": one decoder window, opened on first use and brought to the front after.
    void ShowDecoderWindow();
    DecoderWindow* decoderWindow() const { return m_decoder.get(); }
    // The objects a run gave to console.dir, in their window (made on first use); the
    // window comes up without taking the focus from the editor or the expression.
    void showConsoleValues(const std::vector<OutputValue>& values);
    ConsoleValuesWindow* consoleValuesWindow() const { return m_consoleValues; }

private:
    void buildControls();
    void buildMenus();
    void onCreated();

    GlobalObjects& m_globals;
    Dialogs& m_dialogs;
    std::unique_ptr<Workspace> m_workspace; // what the commands are given
    QString m_versionText;
    CodeEditor* m_currentEditor = nullptr;

    QComboBox* m_address = nullptr;
    QCheckBox* m_utf8Decode = nullptr;
    QPushButton* m_readScript = nullptr;
    EditorTabs* m_tabs = nullptr;
    QPushButton* m_load = nullptr;
    QCheckBox* m_browser = nullptr;
    BrowserCommands* m_browserCommands = nullptr;
    QLineEdit* m_searchText = nullptr;
    QComboBox* m_searchMode = nullptr;
    QPushButton* m_search = nullptr;
    QPushButton* m_minify = nullptr;
    QPushButton* m_clear = nullptr;
    QPushButton* m_unpack = nullptr;
    QPushButton* m_copy = nullptr;
    QPushButton* m_format = nullptr;
    QLabel* m_functionLabel = nullptr;
    QComboBox* m_functionList = nullptr;
    QLabel* m_signature = nullptr;
    QLineEdit* m_expression = nullptr;
    QPushButton* m_evaluate = nullptr;
    QPushButton* m_makeSnippet = nullptr;
    OutputLog* m_output = nullptr;
    QMenu* m_trayMenu = nullptr;
    ScriptCommands* m_scriptCommands = nullptr;
    std::unique_ptr<DecoderWindow> m_decoder; // a window of its own, without a parent
    ConsoleValuesWindow* m_consoleValues = nullptr;
    QAction* m_openAction = nullptr;
    QAction* m_saveAction = nullptr;
    QMenu* m_fileMenu = nullptr;
    SearchRow* m_searchRow = nullptr;
    ReadSaveCommands* m_readSaveCommands = nullptr;
};
