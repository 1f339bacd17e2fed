// Real Scintilla editors on the offscreen platform: operations, configuration,
// margin clicks and brace highlighting.

#include "editor/CodeEditor.h"
#include "shell/Fonts.h"

#include <gtest/gtest.h>

namespace {
// Editor 0 has the brace and line-mark behaviour; others take an index of 1 to 5.
struct Editor {
    CodeEditor editor;
    explicit Editor(int index = 0) : editor(index) {
        editor.resize(600, 300);
        editor.Configure();
    }
    // Puts the caret just before the first occurrence of `marker` (which is removed).
    void setWithCaret(const QByteArray& text, char marker = '|') {
        const int caret = int(text.indexOf(marker));
        QByteArray plain = text;
        plain.remove(caret, 1);
        editor.SetText(plain);
        editor.SetSelection(caret, caret);
        editor.HighlightBraces();
    }
    // The highlighted pair, lower position first (the component draws both the same).
    QPair<int, int> highlighted() const {
        const auto p = editor.lastBraceHighlight();
        return p.first <= p.second || p.second < 0 ? p : qMakePair(p.second, p.first);
    }
};
} // namespace

TEST(CodeEditor, OperationsOnBytes) {
    Editor e;
    CodeEditor& ed = e.editor;
    ed.SetText(QByteArray("abc\r\ndef\r\n中文"));
    EXPECT_EQ(ed.Length(), 16);
    EXPECT_EQ(ed.GetTextRange(5, 8), QByteArray("def"));
    EXPECT_EQ(ed.GetTextRange(8, 5), QByteArray());
    EXPECT_EQ(ed.LineFromPosition(6), 1);
    EXPECT_EQ(ed.PositionFromLine(2), 10);
    EXPECT_EQ(ed.LineEndPosition(0), 3);
    EXPECT_EQ(ed.LineFromPosition(-1), -1);
    EXPECT_EQ(ed.PositionFromLine(-1), -1);
    EXPECT_EQ(ed.LineEndPosition(-3), -1);

    int start = 0, end = 0;
    EXPECT_TRUE(ed.FindText(0, 0, ed.Length(), QByteArray("中文"), start, end));
    EXPECT_EQ(start, 10);
    EXPECT_EQ(end, 16);
    start = end = 77;
    EXPECT_FALSE(ed.FindText(0, 0, ed.Length(), QByteArray("xyz"), start, end));
    EXPECT_EQ(start, 77); // untouched

    ed.SetSelection(5, 8);
    ed.SetSelection(-1, 2); // no action
    ed.ClearSelection();
    EXPECT_EQ(ed.GetText(), QByteArray("abc\r\n\r\n中文"));
    ed.SetSelection(0, 0);
    ed.InsertText(QByteArray("x"));
    EXPECT_EQ(ed.CaretPosition(), 1);
    // Every byte survives, NUL included.
    ed.SetText(QByteArray("a\0b", 3));
    EXPECT_EQ(ed.Length(), 3);
    ed.ClearAll();
    EXPECT_EQ(ed.Length(), 0);
}

TEST(CodeEditor, ConfiguredForJavaScript) {
    Editor e;
    CodeEditor& ed = e.editor;
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETCODEPAGE), 65001);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETLEXER), 3);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETWRAPMODE), 1);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 1UL), 20);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETEOLMODE), 0); // CR LF
    // Folding works on the lexer's levels: the brace line heads a fold.
    ed.SetText(QByteArray("function f()\r\n{\r\nreturn 1;\r\n}\r\n"));
    ed.SendScintilla(QsciScintillaBase::SCI_COLOURISE, 0UL, -1L);
    const long level = ed.SendScintilla(QsciScintillaBase::SCI_GETFOLDLEVEL, 1UL);
    EXPECT_TRUE(level & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG);
    ed.OnMarginClick(ed.PositionFromLine(1), 2);
    EXPECT_FALSE(ed.SendScintilla(QsciScintillaBase::SCI_GETFOLDEXPANDED, 1UL));
    ed.OnMarginClick(ed.PositionFromLine(1), 2);
    EXPECT_TRUE(ed.SendScintilla(QsciScintillaBase::SCI_GETFOLDEXPANDED, 1UL));
}

TEST(CodeEditor, MarginZeroTogglesLineMarksInEditorZeroOnly) {
    Editor first(0);
    first.editor.SetText(QByteArray("a\r\nb\r\nc"));
    const int pos = first.editor.PositionFromLine(1);
    first.editor.OnMarginClick(pos, 0);
    EXPECT_EQ(first.editor.LineMarkers(1), 2);
    first.editor.OnMarginClick(pos, 0);
    EXPECT_EQ(first.editor.LineMarkers(1), 0);

    Editor other(3);
    other.editor.SetText(QByteArray("a\r\nb"));
    other.editor.OnMarginClick(other.editor.PositionFromLine(1), 0);
    EXPECT_EQ(other.editor.LineMarkers(1), 0);
    // A fold-margin click on a line that heads no fold changes nothing.
    other.editor.OnMarginClick(0, 2);
    EXPECT_TRUE(other.editor.SendScintilla(QsciScintillaBase::SCI_GETFOLDEXPANDED, 0UL));
}

TEST(CodeEditor, LineMarkIsDrawnOnceAndKeepsTheNumberReadable) {
    Editor first(0);
    CodeEditor& ed = first.editor;
    ed.SetText(QByteArray("a\r\nb\r\nc\r\nd"));
    ed.OnMarginClick(ed.PositionFromLine(1), 0);
    ASSERT_EQ(ed.LineMarkers(1), 2);
    // Only the mark margin shows marker 1.
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINMASKN, 0UL), 2);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINMASKN, 1UL) & 2, 0);
    EXPECT_EQ(ed.SendScintilla(QsciScintillaBase::SCI_GETMARGINMASKN, 2UL) & 2, 0);

    // As drawn: green only in the mark margin; the number margin of the marked line shows
    // its number's colour and no green.
    const QImage shot = ed.grab().toImage();
    const int lineHeight = int(ed.SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 1UL));
    const int markWidth = 15, numberWidth = 20;
    auto count = [&](int x0, int x1, auto&& match) {
        int n = 0;
        for (int y = lineHeight; y < 2 * lineHeight; ++y)
            for (int x = x0; x < x1; ++x)
                n += match(shot.pixelColor(x, y)) ? 1 : 0;
        return n;
    };
    auto green = [](const QColor& c) { return c == QColor(0, 255, 0); };
    // The number's colour, anti-aliased against the margin's background.
    auto numberInk = [](const QColor& c) { return c.green() > 150 && c.blue() < 100; };
    EXPECT_GT(count(0, markWidth, green), 0);
    EXPECT_EQ(count(markWidth, markWidth + numberWidth, green), 0);
    EXPECT_GT(count(markWidth, markWidth + numberWidth, numberInk), 0);
}

TEST(CodeEditor, CodeIsSetInAFixedWidthFace) {
    installFontSubstitutes();
    Editor e;
    CodeEditor& ed = e.editor;
    auto width = [&](int style, const char* text) {
        return ed.SendScintilla(QsciScintillaBase::SCI_TEXTWIDTH, static_cast<unsigned long>(style),
                                text);
    };
    // The default style and the lexer's styles for plain code, keywords and identifiers.
    for (int style : {int(QsciScintillaBase::STYLE_DEFAULT), 0, 5, 11}) {
        EXPECT_GT(width(style, "iii"), 0) << style;
        EXPECT_EQ(width(style, "iii"), width(style, "WWW")) << style;
        EXPECT_EQ(width(style, "...."), width(style, "mmmm")) << style;
    }
}

TEST(BraceHighlight, EnclosingPairOrBraceAtCaretWithinABoundedStretch) {
    const QByteArray far(1024 * 1024, 'a');
    const struct {
        QByteArray text; // '|' marks the caret
        QPair<int, int> pair;
    } cases[] = {
        // f(x, (y), z) with the caret between z and the last ")": the outer pair.
        {"f(x, (y), z|)", {1, 11}},
        // g(x with no closing parenthesis: that "(" alone.
        {"g(x|", {1, -1}},
        // Caret right after ")": that pair wins over the enclosing one.
        {"a(b(c)|, d)", {3, 5}},
        // Caret at the start of a line: nothing enclosing, nothing at the caret.
        {"(x)\r\n|y", {-2, -1}},
        // The brace right after the caret when none is before it.
        {"x |{ }", {2, 4}},
        // One-line script of 1 MB: the "(" far behind the caret is out of reach, the near
        // one is found exactly as on a short line.
        {"(" + far + "f(b|", {1024 * 1024 + 2, -1}},
        {"(" + far + "|", {-2, -1}},
    };
    Editor e;
    for (const auto& c : cases) {
        e.setWithCaret(c.text);
        EXPECT_EQ(e.highlighted(), c.pair) << c.text.left(20).constData();
    }
}
