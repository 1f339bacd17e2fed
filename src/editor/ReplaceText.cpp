#include "editor/ReplaceText.h"

#include "editor/CodeEditor.h"

namespace {
using Sci = QsciScintillaBase;

// Searches the target range [from, end); the target becomes the match.
long searchTarget(CodeEditor& editor, int flags, long from, long end, const QByteArray& needle) {
    editor.SendScintilla(Sci::SCI_SETSEARCHFLAGS, static_cast<unsigned long>(flags));
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(from), end);
    return editor.SendScintilla(Sci::SCI_SEARCHINTARGET, static_cast<uintptr_t>(needle.size()),
                                needle.constData());
}

QByteArray tag(CodeEditor& editor, int n, long start, long end) {
    if (n == 0)
        return editor.GetTextRange(int(start), int(end));
    const long length = editor.SendScintilla(Sci::SCI_GETTAG, static_cast<unsigned long>(n),
                                             static_cast<void*>(nullptr));
    if (length <= 0)
        return {};
    QByteArray text(int(length) + 1, '\0');
    editor.SendScintilla(Sci::SCI_GETTAG, static_cast<unsigned long>(n),
                         static_cast<void*>(text.data()));
    text.truncate(int(length));
    return text;
}

// Replaces the current target (a match just found) and returns the new text's length.
long replaceTarget(CodeEditor& editor, const QByteArray& replacement, SearchRow::Mode mode) {
    const long start = editor.SendScintilla(Sci::SCI_GETTARGETSTART);
    const long end = editor.SendScintilla(Sci::SCI_GETTARGETEND);
    const QByteArray text =
        mode == SearchRow::RegularExpression
            ? expandReplacement(replacement, [&](int n) { return tag(editor, n, start, end); })
            : replacement;
    editor.SendScintilla(Sci::SCI_SETTARGETRANGE, static_cast<unsigned long>(start), end);
    editor.SendScintilla(Sci::SCI_REPLACETARGET, static_cast<uintptr_t>(text.size()),
                         text.constData());
    return long(text.size());
}

bool badPattern(CodeEditor& editor) {
    const bool bad = editor.SendScintilla(Sci::SCI_GETSTATUS) == Sci::SC_STATUS_WARNREGEX;
    editor.SendScintilla(Sci::SCI_SETSTATUS, Sci::SC_STATUS_OK);
    return bad;
}
} // namespace

QByteArray expandReplacement(const QByteArray& replacement,
                             const std::function<QByteArray(int)>& group) {
    QByteArray out;
    out.reserve(replacement.size());
    for (qsizetype i = 0; i < replacement.size(); ++i) {
        const char c = replacement[i];
        const char next = i + 1 < replacement.size() ? replacement[i + 1] : '\0';
        if (c == '$' && next >= '0' && next <= '9') {
            out += group(next - '0');
            ++i;
        } else if (c == '$' && next == '&') {
            out += group(0);
            ++i;
        } else if (c == '$' && next == '$') {
            out += '$';
            ++i;
        } else if (c == '\\' && (next == 'n' || next == 'r' || next == 't' || next == '\\')) {
            out += next == 'n' ? '\n' : next == 'r' ? '\r' : next == 't' ? '\t' : '\\';
            ++i;
        } else {
            out += c;
        }
    }
    return out;
}

ReplaceOutcome ReplaceAllIn(CodeEditor& editor, const QByteArray& needle,
                            const QByteArray& replacement, SearchRow::Mode mode) {
    ReplaceOutcome outcome;
    if (needle.isEmpty())
        return outcome;
    const int flags = SearchFlags(mode);
    editor.SendScintilla(Sci::SCI_SETSTATUS, Sci::SC_STATUS_OK);
    editor.SendScintilla(Sci::SCI_BEGINUNDOACTION);
    long from = 0;
    for (;;) {
        const long end = editor.Length();
        if (from > end || searchTarget(editor, flags, from, end, needle) < 0)
            break;
        const long matchStart = editor.SendScintilla(Sci::SCI_GETTARGETSTART);
        const long matchEnd = editor.SendScintilla(Sci::SCI_GETTARGETEND);
        const long written = replaceTarget(editor, replacement, mode);
        ++outcome.replaced;
        from = matchStart + written;
        if (matchEnd == matchStart) {
            // An empty match: the next one is looked for after the next character.
            if (from >= editor.Length())
                break;
            from = editor.SendScintilla(Sci::SCI_POSITIONAFTER, static_cast<unsigned long>(from));
        }
    }
    editor.SendScintilla(Sci::SCI_ENDUNDOACTION);
    outcome.badPattern = badPattern(editor);
    return outcome;
}

bool ReplaceSelectionIn(CodeEditor& editor, const QByteArray& needle, const QByteArray& replacement,
                        SearchRow::Mode mode) {
    if (needle.isEmpty())
        return false;
    const long selStart = editor.SendScintilla(Sci::SCI_GETSELECTIONSTART);
    const long selEnd = editor.SendScintilla(Sci::SCI_GETSELECTIONEND);
    editor.SendScintilla(Sci::SCI_SETSTATUS, Sci::SC_STATUS_OK);
    const long found = searchTarget(editor, SearchFlags(mode), selStart, editor.Length(), needle);
    badPattern(editor);
    if (found != selStart || editor.SendScintilla(Sci::SCI_GETTARGETEND) != selEnd)
        return false;
    editor.SendScintilla(Sci::SCI_BEGINUNDOACTION);
    const long written = replaceTarget(editor, replacement, mode);
    editor.SendScintilla(Sci::SCI_ENDUNDOACTION);
    editor.SetSelection(int(selStart + written), int(selStart + written));
    return true;
}
