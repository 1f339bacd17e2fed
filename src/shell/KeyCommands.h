#pragma once
// The menu "编辑(&E)": every command of the button rows with its shortcut, shown in the
// menu and in the buttons' tooltips. The shortcuts belong to the window, so they work
// while an editor, the search box or the expression box has focus.

#include "shell/Workspace.h"

#include <QObject>

class QAction;
class QKeySequence;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;
class SearchRow;

// The controls whose commands get keys.
struct KeyedControls {
    QMenuBar* menuBar;
    QPushButton* load;
    QPushButton* evaluate;
    QPushButton* format;
    QPushButton* unpack;
    QPushButton* minify;
    QLineEdit* searchBox;
    QPushButton* searchButton;
    SearchRow* search;
    QPushButton* clear;
};

class KeyCommands : public QObject {
    Q_OBJECT
public:
    KeyCommands(const Workspace& workspace, const KeyedControls& controls);

    // "清空" from the keyboard or the menu asks first; a stray key costs no code.
    void clearAsked();
    // The next (+1) or previous (-1) page, round the end.
    void stepTab(int step);

private:
    QAction* add(QMenu* menu, const QString& text, const QList<QKeySequence>& keys);
    QAction* addForButton(QMenu* menu, QPushButton* button, const QList<QKeySequence>& keys);

    Workspace m_work;
};
