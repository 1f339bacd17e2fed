// Every shortcut once, typed with an editor (or the expression box) focused, as a user
// types it; and each shown in its menu item and its button's tooltip.

#include "../support/Controls.h"
#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

namespace {
struct Workbench : WindowFixture {
    Workbench() {
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

} // namespace

TEST(Shortcuts, EachKeyDoesItsCommandWithTheEditorFocused) {
    enum Focus { Editor, Expression };
    const struct {
        const char* item;   // its entry in "编辑(&E)"
        const char* button; // the button it clicks, or none
        QKeyCombination key;
        Focus focus = Editor;
    } cases[] = {
        {"加载代码", "按钮_add", Qt::Key_F5},
        {"计算表达式", "按钮_run", Qt::CTRL | Qt::Key_Return},
        {"计算表达式", "按钮_run", Qt::CTRL | Qt::Key_Return, Expression},
        {"格式化", "按钮_format", Qt::CTRL | Qt::SHIFT | Qt::Key_F},
        {"eval解密", "按钮_unpack", Qt::CTRL | Qt::SHIFT | Qt::Key_D},
        {"压缩", "按钮_pack", Qt::CTRL | Qt::SHIFT | Qt::Key_M},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item);
        Workbench wb;
        MainWindow& w = wb.window;
        w.tabs().setCurrentIndex(1);
        w.tabs().editor(1)->SetText("var a = 1;");
        auto* button = control<QPushButton>(w, c.button);
        int clicks = 0;
        QObject::connect(button, &QPushButton::clicked, [&] { ++clicks; });
        QWidget* focus =
            c.focus == Editor ? static_cast<QWidget*>(w.tabs().editor(1)) : w.expressionEdit();
        w.expressionEdit()->setText(QStringLiteral("1+1"));
        focus->setFocus();
        const int linesBefore = int(w.outputLog().messages().size());
        QTest::keyClick(focus, c.key.key(), c.key.keyboardModifiers());
        if (c.focus == Expression) {
            // One evaluation, not one from the box and one from the shortcut.
            const int byKey = int(w.outputLog().messages().size()) - linesBefore;
            button->click();
            EXPECT_EQ(int(w.outputLog().messages().size()) - linesBefore, 2 * byKey);
        } else {
            EXPECT_EQ(clicks, 1);
        }
        EXPECT_TRUE(
            button->toolTip().contains(QKeySequence(c.key).toString(QKeySequence::NativeText)))
            << button->toolTip().toStdString();
        QAction* item = menuEntry(w.menuBar()->actions().at(1)->menu(), c.item);
        ASSERT_TRUE(item);
        EXPECT_EQ(item->shortcut(), QKeySequence(c.key));
    }
}

TEST(Shortcuts, SearchTabsAndClearFromTheEditor) {
    Workbench wb;
    MainWindow& w = wb.window;
    EditorTabs& tabs = w.tabs();
    CodeEditor* editor = tabs.editor(2);
    auto selection = [editor] {
        return QPair<int, int>(int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)),
                               int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)));
    };
    auto type = [&](QKeyCombination key) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keyClick(focus ? focus : &w, key.key(), key.keyboardModifiers());
    };
    tabs.setCurrentIndex(2);
    editor->SetText("ab x ab x ab");
    editor->setFocus();

    type(Qt::CTRL | Qt::Key_F);
    EXPECT_EQ(QApplication::focusWidget(), w.searchBox());
    QTest::keyClicks(w.searchBox(), QStringLiteral("ab"));
    editor->setFocus();
    editor->SetSelection(0, 0);
    type(Qt::Key_F3);
    EXPECT_EQ(selection(), qMakePair(0, 2));
    type(Qt::Key_F3);
    EXPECT_EQ(selection(), qMakePair(5, 7));
    type(Qt::SHIFT | Qt::Key_F3);
    EXPECT_EQ(selection(), qMakePair(0, 2));
    type(Qt::SHIFT | Qt::Key_F3); // none before: from the bottom next time
    type(Qt::SHIFT | Qt::Key_F3);
    EXPECT_EQ(selection(), qMakePair(10, 12));

    const struct {
        QKeyCombination key;
        int page;
    } pages[] = {
        {Qt::CTRL | Qt::Key_Tab, 3}, {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 2},
        {Qt::CTRL | Qt::Key_1, 0},   {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, 5},
        {Qt::CTRL | Qt::Key_Tab, 0}, {Qt::CTRL | Qt::Key_6, 5},
        {Qt::CTRL | Qt::Key_3, 2},
    };
    for (const auto& p : pages) {
        tabs.editor(tabs.currentIndex())->setFocus();
        type(p.key);
        EXPECT_EQ(tabs.currentIndex(), p.page) << QKeySequence(p.key).toString().toStdString();
    }

    // Ctrl+L asks; only "是" empties the editor.
    editor->setFocus();
    wb.dialogs.yesNoAnswer = Dialogs::Answer::No;
    type(Qt::CTRL | Qt::Key_L);
    EXPECT_EQ(wb.dialogs.questions.size(), 1);
    EXPECT_EQ(editor->GetText(), "ab x ab x ab");
    wb.dialogs.yesNoAnswer = Dialogs::Answer::Yes;
    type(Qt::CTRL | Qt::Key_L);
    EXPECT_EQ(editor->Length(), 0);
}
