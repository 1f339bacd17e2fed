// The search row on a real editor: step sequences, the three modes and the key handler.

#include "editor/SearchRow.h"
#include "editor/CodeEditor.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <vector>

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

// Each press selects the next match after the caret; with none left the caret goes back
// to the start with nothing selected, and the next press starts again at the top.
TEST(Search, StepsThroughMatchesInEachModeAndStartsAgainAtTheTop) {
    const int matchCase = SearchRow::MatchCase, whole = SearchRow::WholeWord,
              regex = SearchRow::RegularExpression;
    const struct {
        const char* script;
        const char* needle;
        int mode;
        Sel from; // the selection before the first press
        std::vector<Sel> presses;
    } cases[] = {
        {"ab ab\r\nxab", "ab", matchCase, {0, 0}, {{0, 2}, {3, 5}, {8, 10}, {0, 0}, {0, 2}}},
        {"foo Foo", "Foo", matchCase, {0, 0}, {{4, 7}}},
        {"foo", "Foo", matchCase, {2, 2}, {{0, 0}}},
        // Positions count UTF-8 bytes: three for each of these characters.
        {"var a='中文';// 中文", "中文", matchCase, {0, 0}, {{7, 13}, {18, 24}}},
        // A match that starts before the caret is not found by this press.
        {"needle", "needle", matchCase, {2, 2}, {{0, 0}, {0, 6}}},
        // Whole words keep the letter case.
        {"foobar foo Foo", "foo", whole, {0, 0}, {{7, 10}, {0, 0}}},
        {"x=a1+a23|b4", "a\\d+|b\\d", regex, {0, 0}, {{2, 4}, {5, 8}, {9, 11}, {0, 0}}},
        // Patterns work on characters, positions stay bytes.
        {"a中文b中", "[中文]{2}", regex, {0, 0}, {{1, 7}, {0, 0}}},
        // An invalid pattern finds nothing and moves nothing; escaped, it is found.
        {"a(b", "(", regex, {1, 2}, {{1, 2}}},
        {"a(b", "\\(", regex, {0, 0}, {{1, 2}}},
        // An empty match at the caret does not hold the caret there: the line starts after
        // it, one after the other, then back to the top.
        {"a\nb\nc", "^", regex, {0, 0}, {{2, 2}, {4, 4}, {0, 0}, {2, 2}}},
    };
    Search s;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.needle);
        s.set(QString::fromUtf8(c.script), QString::fromUtf8(c.needle), c.mode);
        s.editor.SetSelection(c.from.first, c.from.second);
        for (size_t i = 0; i < c.presses.size(); ++i)
            EXPECT_EQ(s.press(), c.presses[i]) << "press " << i + 1;
    }
    // The caret stands at the match's end, or at the start once none is left; the text is
    // untouched; an empty box has nothing to find and moves nothing.
    s.set(QStringLiteral("ab ab"), QStringLiteral("ab"));
    s.press();
    EXPECT_EQ(s.editor.CaretPosition(), 2);
    s.press();
    s.press();
    EXPECT_EQ(s.editor.CaretPosition(), 0);
    EXPECT_EQ(s.editor.GetText(), QByteArray("ab ab"));
    s.press();
    s.text.clear();
    EXPECT_EQ(s.press(), Sel(0, 2));
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
