#pragma once
// Finds a menu entry by its caption, as a user looks for it: in a menu and its submenus,
// or in every menu of a window's menu bar.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

inline QAction* menuEntry(const QList<QAction*>& actions, const QString& caption) {
    for (QAction* a : actions) {
        if (a->text() == caption)
            return a;
        if (a->menu())
            if (QAction* inner = menuEntry(a->menu()->actions(), caption))
                return inner;
    }
    return nullptr;
}

inline QAction* menuEntry(QMenu* menu, const char* caption) {
    return menuEntry(menu->actions(), QString::fromUtf8(caption));
}

inline QAction* menuEntry(QMainWindow& window, const char* caption) {
    return menuEntry(window.menuBar()->actions(), QString::fromUtf8(caption));
}
