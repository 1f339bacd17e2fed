#pragma once
// What the window's commands work on besides their own controls: the editors, the output
// pane, the dialogs and the global objects, and the window itself as the parent of what
// they open and the holder of the menus they add to. The window makes one and hands it to
// each command; no command reaches into the window's widgets.

#include <QString>

class CodeEditor;
class Dialogs;
class EditorTabs;
class GlobalObjects;
class OutputLog;
class QAction;
class QMenu;
class QWidget;

struct Workspace {
    QWidget& window;
    EditorTabs& tabs;
    OutputLog& output;
    Dialogs& dialogs;
    GlobalObjects& globals;

    // The editor of the selected page.
    CodeEditor* currentEditor() const;
    // A menu or menu entry by object name: "菜单_" and its text without the accelerator
    // ("菜单_工具"); nullptr when there is none.
    QMenu* menu(const QString& name) const;
    QAction* action(const QString& name) const;
    // Adds an entry named as menu() and action() find it.
    static QAction* addNamedAction(QMenu* menu, const QString& text);
};
