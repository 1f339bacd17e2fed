// The search row on a real editor: step sequences, the three modes and the key handler.

#include "editor/SearchRow.h"
#include "editor/CodeEditor.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

namespace {
struct Search {
    CodeEditor editor{3};
    QLineEdit text;
    QComboBox mode;
    QPushButton button;
    SearchRow row{&text, &mode, &button, [this] { return &editor; }};

    Search() {
        editor.Configure();
        mode.addItems({QStringLiteral("全字匹配"), QStringLiteral("区分大小写"),
                       QStringLiteral("正则表达式")});
        mode.setCurrentIndex(SearchRow::MatchCase);
    }
    // Text, needle, mode; caret at the start.
    void set(const QString& script, const QString& needle, int modeIndex = SearchRow::MatchCase) {
        editor.SetText(script.toUtf8());
        editor.SetSelection(0, 0);
        text.setText(needle);
        mode.setCurrentIndex(modeIndex);
    }
    QPair<int, int> press() {
        button.click();
        return selection();
    }
    QPair<int, int> selection() const {
        return {int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)),
                int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND))};
    }
    void key(int code, const QString& typed = {}) {
        QKeyEvent press(QEvent::KeyPress, code, Qt::NoModifier, typed);
        QCoreApplication::sendEvent(&text, &press);
    }
};
using Sel = QPair<int, int>;
} // namespace

TEST(Search, StepsThroughMatchesAndStartsAgainAtTheTop) {
    Search s;
    s.set(QStringLiteral("ab ab\r\nxab"), QStringLiteral("ab"));
    EXPECT_EQ(s.press(), Sel(0, 2));
    EXPECT_EQ(s.editor.CaretPosition(), 2); // caret at the match's end
    EXPECT_EQ(s.press(), Sel(3, 5));
    EXPECT_EQ(s.press(), Sel(8, 10));
    EXPECT_EQ(s.press(), Sel(0, 0)); // none left: back to the start, nothing selected
    EXPECT_EQ(s.editor.CaretPosition(), 0);
    EXPECT_EQ(s.press(), Sel(0, 2));
    EXPECT_EQ(s.editor.GetText(), QByteArray("ab ab\r\nxab")); // the text is untouched

    // An empty box has nothing to find and moves nothing.
    s.text.clear();
    EXPECT_EQ(s.press(), Sel(0, 2));
}

TEST(Search, CaseChineseAndTheCaret) {
    Search s;
    s.set(QStringLiteral("foo Foo"), QStringLiteral("Foo"));
    EXPECT_EQ(s.press(), Sel(4, 7));
    s.set(QStringLiteral("foo"), QStringLiteral("Foo"));
    s.editor.SetSelection(2, 2);
    EXPECT_EQ(s.press(), Sel(0, 0));

    // Positions count UTF-8 bytes: three for each of these characters.
    s.set(QStringLiteral("var a='中文';// 中文"), QStringLiteral("中文"));
    EXPECT_EQ(s.press(), Sel(7, 13));
    EXPECT_EQ(s.press(), Sel(18, 24));

    // A match that starts before the caret is not found by this press.
    s.set(QStringLiteral("needle"), QStringLiteral("needle"));
    s.editor.SetSelection(2, 2);
    EXPECT_EQ(s.press(), Sel(0, 0));
    EXPECT_EQ(s.press(), Sel(0, 6));
}

TEST(Search, WholeWordAndRegularExpressionModes) {
    Search s;
    s.set(QStringLiteral("foobar foo Foo"), QStringLiteral("foo"), SearchRow::WholeWord);
    EXPECT_EQ(s.press(), Sel(7, 10));
    EXPECT_EQ(s.press(), Sel(0, 0)); // whole words keep the letter case

    s.set(QStringLiteral("x=a1+a23|b4"), QStringLiteral("a\\d+|b\\d"),
          SearchRow::RegularExpression);
    EXPECT_EQ(s.press(), Sel(2, 4));
    EXPECT_EQ(s.press(), Sel(5, 8));
    EXPECT_EQ(s.press(), Sel(9, 11));
    EXPECT_EQ(s.press(), Sel(0, 0));

    // Patterns work on characters, positions stay bytes.
    s.set(QStringLiteral("a中文b中"), QStringLiteral("[中文]{2}"), SearchRow::RegularExpression);
    EXPECT_EQ(s.press(), Sel(1, 7));
    EXPECT_EQ(s.press(), Sel(0, 0));

    // An invalid pattern finds nothing and moves nothing.
    s.set(QStringLiteral("a(b"), QStringLiteral("("), SearchRow::RegularExpression);
    s.editor.SetSelection(1, 2);
    EXPECT_EQ(s.press(), Sel(1, 2));
    s.text.setText(QStringLiteral("\\("));
    s.editor.SetSelection(0, 0);
    EXPECT_EQ(s.press(), Sel(1, 2)); // escaped, it is found

    // An empty match at the caret does not hold the caret there: the line starts after
    // it, one after the other, then back to the top.
    s.set(QStringLiteral("a\nb\nc"), QStringLiteral("^"), SearchRow::RegularExpression);
    EXPECT_EQ(s.press(), Sel(2, 2));
    EXPECT_EQ(s.press(), Sel(4, 4));
    EXPECT_EQ(s.press(), Sel(0, 0));
    EXPECT_EQ(s.press(), Sel(2, 2));
}

TEST(Search, EnterSearchesOtherKeysEdit) {
    Search s;
    s.set(QStringLiteral("one two one"), QStringLiteral("one"));
    s.key(Qt::Key_Return);
    EXPECT_EQ(s.selection(), Sel(0, 3));
    s.key(Qt::Key_Enter);
    EXPECT_EQ(s.selection(), Sel(8, 11));
    s.key(Qt::Key_S, QStringLiteral("s"));
    EXPECT_EQ(s.text.text(), QStringLiteral("ones"));
    EXPECT_EQ(s.selection(), Sel(8, 11));
    EXPECT_TRUE(s.button.isEnabled() && s.text.isEnabled() && s.mode.isEnabled());
}
