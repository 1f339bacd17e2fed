#include "shell/Workspace.h"

#include "editor/EditorTabs.h"

#include <QAction>
#include <QMenu>

CodeEditor* Workspace::currentEditor() const {
    return tabs.editorForPage(tabs.currentIndex());
}

QMenu* Workspace::menu(const QString& name) const {
    return window.findChild<QMenu*>(name);
}

QAction* Workspace::action(const QString& name) const {
    return window.findChild<QAction*>(name);
}

QAction* Workspace::addNamedAction(QMenu* menu, const QString& text) {
    QAction* action = menu->addAction(text);
    action->setObjectName(QStringLiteral("菜单_") + text);
    return action;
}
