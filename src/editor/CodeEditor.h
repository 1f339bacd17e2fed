#pragma once
// One source editor: a Scintilla component whose document is UTF-8 bytes. Positions
// and lengths are byte offsets, lines count from 0. The operations are thin wrappers
// over Scintilla messages; none converts text.

#include <Qsci/qsciscintillabase.h>

#include <QByteArray>
#include <QPair>

class CodeEditor : public QsciScintillaBase {
    Q_OBJECT
public:
    // The line mark set and cleared by clicks in margin 0.
    static constexpr int kLineMarker = 1;
    // Bound on the backward scan for the enclosing parenthesis, so that a caret move on a
    // one-line script of megabytes stays cheap.
    static constexpr int kMaxBraceScan = 64 * 1024;

    explicit CodeEditor(int index, QWidget* parent = nullptr);

    // The JavaScript set-up: lexer, keywords, colours, margins, folding, wrap.
    void Configure();

    int Length() const;
    QByteArray GetText() const;
    void SetText(const QByteArray& text);
    void InsertText(const QByteArray& text);
    void ClearAll();
    void ClearSelection();
    QByteArray GetTextRange(int start, int end) const;
    // True and the match range when found; the range is left alone otherwise.
    bool FindText(int flags, int start, int end, const QByteArray& needle, int& matchStart,
                  int& matchEnd) const;
    void SetSelection(int anchor, int caret);
    int CaretPosition() const;
    int LineFromPosition(int position) const; // -1 for a negative position
    int PositionFromLine(int line) const;     // -1 for a negative line
    int LineEndPosition(int line) const;      // -1 for a negative line
    int BraceMatch(int position) const;
    void BraceHighlight(int first, int second);
    void ToggleFold(int line);
    int LineMarkers(int line) const;
    void AddMarker(int line, int marker);
    void DeleteMarker(int line, int marker);

    // Margin clicks: folding everywhere, line marks in editor 0.
    void OnMarginClick(int position, int margin);
    // Editor 0's update handler: the enclosing parenthesis, then the brace at the caret.
    void HighlightBraces();
    // The pair last handed to BraceHighlight.
    QPair<int, int> lastBraceHighlight() const { return m_braceHighlight; }

private:
    void applyBaseSettings();

    int m_index;
    QPair<int, int> m_braceHighlight{-1, -1};
};
