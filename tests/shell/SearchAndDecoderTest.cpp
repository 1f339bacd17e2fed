// The search row and the "解码工具" menu item as wired into the main window.

#include "../support/Controls.h"
#include "../support/FakeDialogs.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "tools/DecoderWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {
struct Workbench : WindowFixture {
    Workbench() { window.show(); }
};

QAction* menuItem(MainWindow& w, const QString& text) {
    for (QAction* menu : w.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (item->text() == text)
                return item;
    return nullptr;
}
} // namespace

TEST(SearchRow, FindsInTheCurrentEditorWithoutLogging) {
    Workbench wb;
    MainWindow& w = wb.window;
    auto* box = control<QLineEdit>(w, "编辑框_搜索内容");
    auto* find = control<QPushButton>(w, "按钮_search");
    auto* mode = control<QComboBox>(w, "组合框_more");
    ASSERT_TRUE(box && find && mode);
    EXPECT_TRUE(box->isEnabled() && find->isEnabled() && mode->isEnabled());
    EXPECT_EQ(mode->currentIndex(), 1);

    const int demoCaret = w.tabs().editor(0)->CaretPosition();
    w.tabs().setCurrentIndex(4);
    CodeEditor* editor = w.tabs().editor(4);
    editor->SetText("x = fuckall; y = fuckall;");
    editor->SetSelection(0, 0);
    box->setText(QStringLiteral("fuckall"));
    find->click();
    EXPECT_EQ(editor->CaretPosition(), 11);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(box, &enter);
    EXPECT_EQ(editor->CaretPosition(), 24);
    // The demo script in the first editor was not searched or moved.
    EXPECT_EQ(w.tabs().editor(0)->CaretPosition(), demoCaret);
    EXPECT_EQ(w.outputLog().messages().size(), 3);
}

TEST(DecoderMenu, OpensOneWindowThatDoesNotHoldTheMainWindow) {
    Workbench wb;
    MainWindow& w = wb.window;
    QAction* item = menuItem(w, QStringLiteral("解码工具"));
    ASSERT_TRUE(item);
    EXPECT_TRUE(item->isEnabled());
    EXPECT_EQ(w.decoderWindow(), nullptr);
    item->trigger();
    DecoderWindow* decoder = w.decoderWindow();
    ASSERT_TRUE(decoder);
    EXPECT_TRUE(decoder->isVisible());
    EXPECT_EQ(decoder->parentWidget(), nullptr);
    EXPECT_FALSE(decoder->testAttribute(Qt::WA_QuitOnClose));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // A second choice brings the same window back, with what it held.
    decoder->input()->setPlainText(QStringLiteral("QUJD"));
    decoder->close();
    item->trigger();
    EXPECT_EQ(w.decoderWindow(), decoder);
    EXPECT_TRUE(decoder->isVisible());
    EXPECT_EQ(decoder->input()->toPlainText(), QStringLiteral("QUJD"));
    // The main window works meanwhile.
    control<QPushButton>(w, "按钮_cla")->click();
    EXPECT_EQ(w.tabs().editor(0)->Length(), 0);
}
