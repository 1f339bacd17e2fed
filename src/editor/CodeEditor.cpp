#include "editor/CodeEditor.h"

#include <QColor>
#include <QSet>

#include <algorithm>

namespace {
// Scintilla's search record (positions are C longs in this build).
struct TextToFind {
    struct {
        long cpMin;
        long cpMax;
    } chrg;
    const char* lpstrText;
    struct {
        long cpMin;
        long cpMax;
    } chrgText;
};

// Token styles of the C-family lexer (not exported by the component's headers).
enum CppStyle {
    SCE_C_DEFAULT = 0,
    SCE_C_COMMENT = 1,
    SCE_C_COMMENTLINE = 2,
    SCE_C_NUMBER = 4,
    SCE_C_WORD = 5,
    SCE_C_STRING = 6,
    SCE_C_OPERATOR = 10,
    SCE_C_STRINGEOL = 12,
    SCE_C_REGEX = 14,
    SCE_C_WORD2 = 16,
};

constexpr int kMarginMarks = 0;
constexpr int kMarginNumbers = 1;
constexpr int kMarginFold = 2;
constexpr int kMaskMarker1 = 1 << CodeEditor::kLineMarker;
} // namespace

CodeEditor::CodeEditor(int index, QWidget* parent) : QsciScintillaBase(parent), m_index(index) {
    setObjectName(QStringLiteral("代码编辑框%1").arg(index));
    applyBaseSettings();
    connect(this, &QsciScintillaBase::SCN_MARGINCLICK, this,
            [this](int position, int, int margin) { OnMarginClick(position, margin); });
    if (m_index == 0)
        connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int) { HighlightBraces(); });
}

void CodeEditor::applyBaseSettings() {
    SendScintilla(SCI_SETREADONLY, 0UL);
    SendScintilla(SCI_SETVIEWWS, SCWS_INVISIBLE);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    SendScintilla(SCI_SETVIEWEOL, 0UL);
    SendScintilla(SCI_SETSELFORE, 1UL, QColor(255, 255, 255));
    SendScintilla(SCI_SETSELBACK, 1UL, QColor(0, 0, 128));
    SendScintilla(SCI_SETCARETLINEVISIBLE, 0UL);
    SendScintilla(SCI_SETINDENTATIONGUIDES, SC_IV_NONE);
    SendScintilla(SCI_SETWRAPMODE, SC_WRAP_NONE);
    SendScintilla(SCI_SETCARETPERIOD, 500UL);
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginNumbers, 0L);
}

void CodeEditor::Configure() {
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETCARETLINEVISIBLE, 1UL);
    SendScintilla(SCI_SETCARETLINEBACK, QColor(185, 211, 238));
    SendScintilla(SCI_STYLESETFORE, STYLE_BRACELIGHT, QColor(255, 0, 0));
    SendScintilla(SCI_SETCARETWIDTH, 2UL);

    SendScintilla(SCI_SETMARGINTYPEN, kMarginMarks, long(SC_MARGIN_SYMBOL));
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginMarks, 15L);
    SendScintilla(SCI_SETMARGINMASKN, kMarginMarks, long(kMaskMarker1));
    SendScintilla(SCI_SETMARGINSENSITIVEN, kMarginMarks, 1L);
    SendScintilla(SCI_MARKERDEFINE, kLineMarker, long(SC_MARK_SMALLRECT));
    SendScintilla(SCI_MARKERSETFORE, kLineMarker, QColor(0, 0, 0));
    SendScintilla(SCI_MARKERSETBACK, kLineMarker, QColor(0, 255, 0));

    SendScintilla(SCI_SETCARETFORE, QColor(255, 0, 0));
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, "黑体");
    SendScintilla(SCI_STYLESETSIZE, STYLE_DEFAULT, 11L);

    SendScintilla(SCI_SETMARGINTYPEN, kMarginNumbers, long(SC_MARGIN_NUMBER));
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginNumbers, 20L);
    // The component's margin 1 shows every marker but the fold ones; as the number margin
    // it would draw the line mark a second time, over the number.
    SendScintilla(SCI_SETMARGINMASKN, kMarginNumbers, 0L);
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    SendScintilla(SCI_SETMARGINWIDTHN, kMarginFold, 13L);
    SendScintilla(SCI_SETMARGINMASKN, kMarginFold, long(SC_MASK_FOLDERS));
    SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, QColor(128, 224, 0));
    SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, QColor(67, 87, 123));
    SendScintilla(SCI_SETMARGINSENSITIVEN, kMarginFold, 1L);
    SendScintilla(SCI_SETFOLDFLAGS, SC_FOLDFLAG_LINEAFTER_CONTRACTED);

    struct FoldMarker {
        int number;
        int symbol;
        QColor fore;
    };
    const QColor white(255, 255, 255);
    const FoldMarker markers[] = {
        {SC_MARKNUM_FOLDEROPEN, SC_MARK_BOXMINUSCONNECTED, white},
        {SC_MARKNUM_FOLDER, SC_MARK_BOXPLUSCONNECTED, white},
        {SC_MARKNUM_FOLDERSUB, SC_MARK_VLINE, white},
        {SC_MARKNUM_FOLDERTAIL, SC_MARK_LCORNER, white},
        {SC_MARKNUM_FOLDEREND, SC_MARK_BOXPLUSCONNECTED, white},
        {SC_MARKNUM_FOLDEROPENMID, SC_MARK_BOXMINUSCONNECTED, QColor(255, 0, 0)},
        {SC_MARKNUM_FOLDERMIDTAIL, SC_MARK_TCORNER, white},
    };
    for (const FoldMarker& m : markers) {
        SendScintilla(SCI_MARKERDEFINE, m.number, long(m.symbol));
        SendScintilla(SCI_MARKERSETFORE, m.number, m.fore);
        SendScintilla(SCI_MARKERSETBACK, m.number, QColor(128, 128, 128));
    }

    SendScintilla(SCI_SETLEXER, SCLEX_CPP);
    // A lexer created after the properties were set does not see them; hand them over
    // again or the fold margin stays empty.
    SendScintilla(SCI_SETPROPERTY, "fold", "1");
    SendScintilla(SCI_SETPROPERTY, "fold.compact", "0");
    const struct {
        int style;
        QColor fore;
    } colours[] = {
        {SCE_C_DEFAULT, QColor(0, 0, 0)},       {SCE_C_COMMENT, QColor(0, 128, 0)},
        {SCE_C_OPERATOR, QColor(40, 25, 100)},  {SCE_C_STRING, QColor(128, 128, 128)},
        {SCE_C_COMMENTLINE, QColor(0, 128, 0)}, {SCE_C_WORD, QColor(0, 0, 128)},
        {SCE_C_WORD2, QColor(255, 0, 0)},       {SCE_C_STRINGEOL, QColor(128, 128, 128)},
        {SCE_C_NUMBER, QColor(255, 0, 0)},      {SCE_C_REGEX, QColor(128, 128, 128)},
    };
    for (const auto& c : colours)
        SendScintilla(SCI_STYLESETFORE, c.style, c.fore);
    SendScintilla(SCI_SETKEYWORDS, 0UL,
                  "break delete function return typeof case do if switch var catch else in "
                  "this void continue false instanceof throw while debugger finally new true "
                  "with default for null try");
    SendScintilla(SCI_SETKEYWORDS, 1UL, "history window document location");
    SendScintilla(SCI_SETHSCROLLBAR, 0UL);
    SendScintilla(SCI_SETVSCROLLBAR, 1UL);
    SendScintilla(SCI_SETWRAPMODE, SC_WRAP_WORD);
    // The editor fills its tab page (a layout places it), so it grows with the window.
}

int CodeEditor::Length() const {
    return int(SendScintilla(SCI_GETLENGTH));
}

QByteArray CodeEditor::GetText() const {
    const int length = Length();
    QByteArray buffer(length + 1, '\0');
    SendScintilla(SCI_GETTEXT, static_cast<unsigned long>(length + 1), buffer.data());
    buffer.truncate(length);
    return buffer;
}

void CodeEditor::SetText(const QByteArray& text) {
    // SCI_SETTEXT stops at a NUL byte; clearing and adding keeps every byte.
    SendScintilla(SCI_BEGINUNDOACTION);
    SendScintilla(SCI_CLEARALL);
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
    SendScintilla(SCI_ENDUNDOACTION);
    SendScintilla(SCI_GOTOPOS, 0UL);
}

void CodeEditor::InsertText(const QByteArray& text) {
    SendScintilla(SCI_ADDTEXT, static_cast<unsigned long>(text.size()), text.constData());
}

void CodeEditor::ClearAll() {
    SendScintilla(SCI_CLEARALL);
}

void CodeEditor::ClearSelection() {
    SendScintilla(SCI_CLEAR);
}

QByteArray CodeEditor::GetTextRange(int start, int end) const {
    if (start < 0 || end <= start)
        return {};
    end = std::min(end, Length());
    if (end <= start)
        return {};
    QByteArray buffer(end - start + 1, '\0');
    SendScintilla(SCI_GETTEXTRANGE, long(start), long(end), buffer.data());
    buffer.truncate(end - start);
    return buffer;
}

bool CodeEditor::FindText(int flags, int start, int end, const QByteArray& needle, int& matchStart,
                          int& matchEnd) const {
    const QByteArray z = needle + '\0';
    TextToFind ttf{{start, end}, z.constData(), {0, 0}};
    const long found =
        SendScintilla(SCI_FINDTEXT, static_cast<unsigned long>(flags), static_cast<void*>(&ttf));
    if (found < 0)
        return false;
    matchStart = int(ttf.chrgText.cpMin);
    matchEnd = int(ttf.chrgText.cpMax);
    return true;
}

void CodeEditor::SetSelection(int anchor, int caret) {
    if (anchor < 0)
        return;
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(anchor), long(caret));
}

int CodeEditor::CaretPosition() const {
    return int(SendScintilla(SCI_GETCURRENTPOS));
}

int CodeEditor::LineFromPosition(int position) const {
    return position < 0 ? -1 : int(SendScintilla(SCI_LINEFROMPOSITION, position));
}

int CodeEditor::PositionFromLine(int line) const {
    return line < 0 ? -1 : int(SendScintilla(SCI_POSITIONFROMLINE, line));
}

int CodeEditor::LineEndPosition(int line) const {
    return line < 0 ? -1 : int(SendScintilla(SCI_GETLINEENDPOSITION, line));
}

int CodeEditor::BraceMatch(int position) const {
    if (position < 0)
        return -1;
    return int(SendScintilla(SCI_BRACEMATCH, static_cast<unsigned long>(position), 0L));
}

void CodeEditor::BraceHighlight(int first, int second) {
    m_braceHighlight = {first, second};
    SendScintilla(SCI_BRACEHIGHLIGHT, static_cast<unsigned long>(first), long(second));
}

void CodeEditor::ToggleFold(int line) {
    SendScintilla(SCI_TOGGLEFOLD, line);
}

int CodeEditor::LineMarkers(int line) const {
    return int(SendScintilla(SCI_MARKERGET, line));
}

void CodeEditor::AddMarker(int line, int marker) {
    SendScintilla(SCI_MARKERADD, static_cast<unsigned long>(line), long(marker));
}

void CodeEditor::DeleteMarker(int line, int marker) {
    SendScintilla(SCI_MARKERDELETE, static_cast<unsigned long>(line), long(marker));
}

void CodeEditor::OnMarginClick(int position, int margin) {
    const int line = LineFromPosition(position);
    if (margin == kMarginFold)
        ToggleFold(line);
    if (m_index == 0 && margin == kMarginMarks) {
        if (LineMarkers(line) == kMaskMarker1)
            DeleteMarker(line, kLineMarker);
        else
            AddMarker(line, kLineMarker);
    }
}

void CodeEditor::HighlightBraces() {
    // The "(" that encloses the caret on its line. The line before the caret is read once
    // (at most kMaxBraceScan bytes back) instead of byte by byte.
    int caret = CaretPosition();
    const int lineStart = PositionFromLine(LineFromPosition(caret));
    const int from = std::max(lineStart, caret - kMaxBraceScan);
    const QByteArray before = GetTextRange(from, caret);
    QSet<int> closed;
    int found = -2;
    for (int p = caret - 1; p >= from; --p) {
        const char c = before[p - from];
        if (c == ')') {
            closed.insert(BraceMatch(p));
        } else if (c == '(') {
            if (closed.contains(p))
                continue;
            found = p;
            BraceHighlight(p, BraceMatch(p));
            break;
        }
    }
    if (found == -2)
        BraceHighlight(-2, -1);

    // The brace before the caret wins over the enclosing pair; failing that, the one after.
    caret = CaretPosition();
    int match = BraceMatch(caret - 1);
    if (match != -1) {
        BraceHighlight(caret - 1, match);
        return;
    }
    match = BraceMatch(caret);
    if (match != -1)
        BraceHighlight(caret, match);
}
