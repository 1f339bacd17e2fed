#include "shell/KeyCommands.h"

#include "editor/CodeEditor.h"

#include "editor/EditorTabs.h"
#include "editor/SearchRow.h"
#include "shell/Dialogs.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {
QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

// "格式化 (Ctrl+Shift+F)", as tooltips show a command with its key.
QString withKey(const QString& text, const QKeySequence& key) {
    return QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText));
}
} // namespace

KeyCommands::KeyCommands(const Workspace& workspace, const KeyedControls& controls)
    : QObject(&workspace.window), m_work(workspace) {
    QMenuBar* bar = controls.menuBar;
    auto* edit = new QMenu(QStringLiteral("编辑(&E)"), bar);
    edit->setObjectName(QStringLiteral("菜单_编辑"));
    edit->setFont(bar->font());
    // After "文件", before "关于".
    bar->insertMenu(bar->actions().value(1), edit);

    addForButton(edit, controls.load, {keys(Qt::Key_F5)});
    addForButton(edit, controls.evaluate,
                 {keys(Qt::CTRL | Qt::Key_Return), keys(Qt::CTRL | Qt::Key_Enter)});
    edit->addSeparator();
    addForButton(edit, controls.format, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_F)});
    addForButton(edit, controls.unpack, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_D)});
    addForButton(edit, controls.minify, {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_M)});
    edit->addSeparator();

    QLineEdit* searchBox = controls.searchBox;
    connect(add(edit, QStringLiteral("查找"), {keys(Qt::CTRL | Qt::Key_F)}), &QAction::triggered,
            searchBox, [searchBox] {
                searchBox->setFocus(Qt::ShortcutFocusReason);
                searchBox->selectAll();
            });
    SearchRow& search = *controls.search;
    QAction* next = add(edit, QStringLiteral("查找下一个"), {keys(Qt::Key_F3)});
    connect(next, &QAction::triggered, &search, &SearchRow::FindNext);
    controls.searchButton->setToolTip(withKey(QStringLiteral("查找下一个"), next->shortcut()));
    QAction* previous = add(edit, QStringLiteral("查找上一个"), {keys(Qt::SHIFT | Qt::Key_F3)});
    connect(previous, &QAction::triggered, &search, &SearchRow::FindPrevious);
    QAction* replace = add(edit, QStringLiteral("替换"), {keys(Qt::CTRL | Qt::Key_H)});
    connect(replace, &QAction::triggered, &search, &SearchRow::OpenReplace);
    edit->addSeparator();

    QAction* clear = add(edit, QStringLiteral("清空"), {keys(Qt::CTRL | Qt::Key_L)});
    connect(clear, &QAction::triggered, this, &KeyCommands::clearAsked);
    controls.clear->setToolTip(
        withKey(QStringLiteral("清空（快捷键会先询问）"), clear->shortcut()));

    QMenu* pages = edit->addMenu(QStringLiteral("切换编辑框"));
    pages->setObjectName(QStringLiteral("菜单_切换编辑框"));
    connect(add(pages, QStringLiteral("下一个编辑框"), {keys(Qt::CTRL | Qt::Key_Tab)}),
            &QAction::triggered, this, [this] { stepTab(1); });
    // Shift+Tab arrives as Backtab.
    connect(add(pages, QStringLiteral("上一个编辑框"),
                {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                 keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)}),
            &QAction::triggered, this, [this] { stepTab(-1); });
    for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
        QAction* page = add(pages, QStringLiteral("编辑框 %1").arg(i + 1),
                            {keys(Qt::CTRL | Qt::Key(Qt::Key_1 + i))});
        connect(page, &QAction::triggered, this, [this, i] { m_work.tabs.setCurrentIndex(i); });
    }
}

QAction* KeyCommands::add(QMenu* menu, const QString& text, const QList<QKeySequence>& keys) {
    QAction* action = Workspace::addNamedAction(menu, text);
    action->setShortcuts(keys);
    // Also on the window itself: active whenever the window is, whatever has focus.
    action->setShortcutContext(Qt::WindowShortcut);
    m_work.window.addAction(action);
    return action;
}

QAction* KeyCommands::addForButton(QMenu* menu, QPushButton* button,
                                   const QList<QKeySequence>& keys) {
    QAction* action = add(menu, button->text(), keys);
    // Available exactly when the button is; the button does the work.
    action->setEnabled(button->isEnabled());
    connect(action, &QAction::triggered, button, [button] {
        if (button->isEnabled())
            button->click();
    });
    button->setToolTip(withKey(button->text(), keys.first()));
    return action;
}

void KeyCommands::clearAsked() {
    const Dialogs::Answer answer = m_work.dialogs.yesNo(
        &m_work.window, QStringLiteral("清空当前编辑框中的全部代码？"), QStringLiteral("清空"));
    if (answer == Dialogs::Answer::Yes)
        m_work.currentEditor()->ClearAll();
}

void KeyCommands::stepTab(int step) {
    EditorTabs& tabs = m_work.tabs;
    const int n = EditorTabs::kEditorCount;
    tabs.setCurrentIndex(((tabs.currentIndex() + step) % n + n) % n);
}
