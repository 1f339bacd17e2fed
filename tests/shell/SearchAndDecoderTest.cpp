// The search row and the "解码工具" menu item as wired into the main window.

#include "../support/Controls.h"
#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/ReplaceBar.h"
#include "editor/SearchRow.h"
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
#include <QTest>

namespace {
struct Workbench : WindowFixture {
    Workbench() { window.show(); }
};

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
    QAction* item = menuEntry(w, "解码工具");
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

namespace {
// The window with the replace bar's controls at hand.
struct ReplaceBench : Workbench {
    QLineEdit* box = control<QLineEdit>(window, "编辑框_搜索内容");
    QComboBox* mode = control<QComboBox>(window, "组合框_more");
    QLineEdit* with = control<QLineEdit>(window, "编辑框_替换内容");
    QPushButton* replace = control<QPushButton>(window, "按钮_替换");
    QPushButton* replaceAll = control<QPushButton>(window, "按钮_全部替换");
    QPushButton* previous = control<QPushButton>(window, "按钮_上一个");
    CodeEditor* editor = window.tabs().editor(2);

    ReplaceBench() { window.tabs().setCurrentIndex(2); }
    // The text as just opened: nothing to undo.
    void start(const QByteArray& text, const QString& needle, int modeIndex) {
        editor->SetText(text);
        editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        editor->SetSelection(0, 0);
        mode->setCurrentIndex(modeIndex);
        box->setText(needle);
    }
    QString status() const { return window.searchRow().statusText(); }
    QByteArray selected() const {
        return editor->GetTextRange(
            int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)),
            int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND)));
    }
};
} // namespace

TEST(FindAndReplace, ReplaceAllIsOneUndoStepAndSaysHowItWent) {
    const int plain = 1, whole = 0, regex = 2;
    const struct {
        const char* text;
        const char* needle;
        int mode;
        const char* replacement;
        const char* after;
        const char* status;
    } cases[] = {
        {"a.b a.b axb", "a.b", plain, "x", "x x axb", "已替换 2 处"},
        {"foo foobar Foo foo", "foo", whole, "bar", "bar foobar Foo bar", "已替换 2 处"},
        {"a=1;bb=22", "(\\w+)=(\\d+)", regex, "$2=$1", "1=a;22=bb", "已替换 2 处"},
        {"a\r\nb", "^", regex, "// ", "// a\r\n// b", "已替换 2 处"},
        {"ab", "x*", regex, "-", "-a-b-", "已替换 3 处"},
        {"abc", "b", regex, "$$\\n$&", "a$\nbc", "已替换 1 处"},
        {"var 中文 = '中文';", "中文", plain, "汉字文本", "var 汉字文本 = '汉字文本';",
         "已替换 2 处"},
        {"abc", "zzz", plain, "y", "abc", "未找到"},
        {"a(b", "(", regex, "y", "a(b", "表达式有误"},
    };
    ReplaceBench wb;
    ASSERT_TRUE(wb.box && wb.with && wb.replaceAll);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.needle);
        wb.start(c.text, QString::fromUtf8(c.needle), c.mode);
        wb.with->setText(QString::fromUtf8(c.replacement));
        wb.replaceAll->click();
        EXPECT_EQ(wb.editor->GetText(), QByteArray(c.after));
        EXPECT_EQ(wb.status(), QString::fromUtf8(c.status));
        // One undo gives the text back whole, and nothing is left to undo.
        wb.editor->SendScintilla(QsciScintillaBase::SCI_UNDO);
        EXPECT_EQ(wb.editor->GetText(), QByteArray(c.text));
        EXPECT_FALSE(wb.editor->SendScintilla(QsciScintillaBase::SCI_CANUNDO));
    }
}

TEST(FindAndReplace, MatchCountsStepsAndSingleReplacements) {
    ReplaceBench wb;
    ASSERT_TRUE(wb.replace && wb.previous);
    wb.start("ab ab ab", QStringLiteral("ab"), 1);
    // Typing is counted a moment later, without a search step.
    for (int i = 0; i < 200 && wb.status().isEmpty(); ++i)
        QTest::qWait(10);
    EXPECT_EQ(wb.status(), QStringLiteral("共 3 处"));
    const struct {
        QPushButton* press;
        const char* status;
        const char* text;
    } steps[] = {
        {wb.window.searchButton(), "1/3", "ab ab ab"},
        {wb.window.searchButton(), "2/3", "ab ab ab"},
        {wb.replace, "2/2", "ab XY ab"}, // the selected match is replaced, the next one selected
        {wb.previous, "1/2", "ab XY ab"},
        {wb.previous, "共 2 处", "ab XY ab"}, // none before: the caret goes to the end
        {wb.replace, "共 2 处", "ab XY ab"},  // none after the end: back to the top
        {wb.replace, "1/2", "ab XY ab"},      // nothing selected: the first match is selected
        {wb.replace, "1/1", "XY XY ab"},
        {wb.replace, "未找到", "XY XY XY"},
    };
    wb.with->setText(QStringLiteral("XY"));
    for (const auto& s : steps) {
        SCOPED_TRACE(s.status);
        s.press->click();
        EXPECT_EQ(wb.status(), QString::fromUtf8(s.status));
        EXPECT_EQ(wb.editor->GetText(), QByteArray(s.text));
    }
    // Nothing to find: the row says so, no box opens, nothing moves.
    wb.box->setText(QStringLiteral("zz"));
    wb.window.searchButton()->click();
    EXPECT_EQ(wb.status(), QStringLiteral("未找到"));
    EXPECT_TRUE(wb.dialogs.messages.isEmpty());
    wb.box->clear();
    EXPECT_EQ(wb.status(), QString());

    // Ctrl+H opens the bar with the selected text to replace; Escape closes it.
    wb.editor->SetSelection(0, 2);
    QTest::keyClick(wb.editor, Qt::Key_H, Qt::ControlModifier);
    ASSERT_TRUE(wb.window.searchRow().replaceBar()->isVisible());
    EXPECT_EQ(wb.box->text(), QStringLiteral("XY"));
    EXPECT_TRUE(wb.with->hasFocus());
    EXPECT_EQ(wb.selected(), QByteArray("XY"));
    QTest::keyClick(wb.with, Qt::Key_Escape);
    EXPECT_FALSE(wb.window.searchRow().replaceBar()->isVisible());
}
