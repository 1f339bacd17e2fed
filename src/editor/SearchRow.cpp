#include "editor/SearchRow.h"

#include "editor/CodeEditor.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

namespace {
int searchFlags(SearchRow::Mode mode) {
    switch (mode) {
    case SearchRow::WholeWord:
        return QsciScintillaBase::SCFIND_WHOLEWORD | QsciScintillaBase::SCFIND_MATCHCASE;
    case SearchRow::RegularExpression:
        // The ECMAScript grammar, which is what the people here write patterns in.
        return QsciScintillaBase::SCFIND_REGEXP | QsciScintillaBase::SCFIND_CXX11REGEX |
               QsciScintillaBase::SCFIND_MATCHCASE;
    case SearchRow::MatchCase:
        break;
    }
    return QsciScintillaBase::SCFIND_MATCHCASE;
}
} // namespace

void FindNextIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode) {
    if (needle.isEmpty())
        return;
    const int flags = searchFlags(mode);
    const int end = editor.Length();
    int start = editor.CaretPosition();
    int matchStart = 0;
    int matchEnd = 0;
    editor.SendScintilla(QsciScintillaBase::SCI_SETSTATUS, QsciScintillaBase::SC_STATUS_OK);
    bool found = editor.FindText(flags, start, end, needle, matchStart, matchEnd);
    if (editor.SendScintilla(QsciScintillaBase::SCI_GETSTATUS) ==
        QsciScintillaBase::SC_STATUS_WARNREGEX) {
        editor.SendScintilla(QsciScintillaBase::SCI_SETSTATUS, QsciScintillaBase::SC_STATUS_OK);
        return;
    }
    // An empty match at the caret would hold every later press there; look past it.
    if (found && matchEnd == start && matchStart == start && start < end) {
        start = int(editor.SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, start));
        matchStart = matchEnd = 0;
        found = editor.FindText(flags, start, end, needle, matchStart, matchEnd);
    }
    if (!found)
        matchStart = matchEnd = 0;
    editor.SetSelection(matchStart, matchEnd);
}

QList<QPair<int, int>> MatchesIn(const CodeEditor& editor, const QByteArray& needle,
                                 SearchRow::Mode mode, int limit) {
    QList<QPair<int, int>> matches;
    if (needle.isEmpty())
        return matches;
    auto& e = const_cast<CodeEditor&>(editor);
    const int flags = searchFlags(mode);
    const int end = editor.Length();
    int start = 0;
    e.SendScintilla(QsciScintillaBase::SCI_SETSTATUS, QsciScintillaBase::SC_STATUS_OK);
    while (start <= end && matches.size() < limit) {
        int matchStart = 0;
        int matchEnd = 0;
        if (!editor.FindText(flags, start, end, needle, matchStart, matchEnd))
            break;
        matches.append({matchStart, matchEnd});
        // An empty match would be found again at the same place.
        start = matchEnd > matchStart
                    ? matchEnd
                    : int(e.SendScintilla(QsciScintillaBase::SCI_POSITIONAFTER, matchEnd));
        if (matchEnd >= end)
            break;
    }
    if (e.SendScintilla(QsciScintillaBase::SCI_GETSTATUS) ==
        QsciScintillaBase::SC_STATUS_WARNREGEX) {
        e.SendScintilla(QsciScintillaBase::SCI_SETSTATUS, QsciScintillaBase::SC_STATUS_OK);
        matches.clear();
    }
    return matches;
}

void FindPreviousIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode) {
    if (needle.isEmpty())
        return;
    const int before = int(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    const QList<QPair<int, int>> matches =
        MatchesIn(editor, needle, mode, std::numeric_limits<int>::max());
    for (qsizetype i = matches.size() - 1; i >= 0; --i) {
        if (matches[i].first < before) {
            editor.SetSelection(matches[i].first, matches[i].second);
            return;
        }
    }
    // None before: from the bottom again at the next step.
    editor.SetSelection(editor.Length(), editor.Length());
}

SearchRow::SearchRow(QLineEdit* text, QComboBox* mode, QPushButton* button,
                     std::function<CodeEditor*()> currentEditor, QObject* parent)
    : QObject(parent), m_text(text), m_mode(mode), m_currentEditor(std::move(currentEditor)) {
    connect(button, &QPushButton::clicked, this, &SearchRow::FindNext);
    m_text->installEventFilter(this);
    for (QWidget* w : std::initializer_list<QWidget*>{text, mode, button})
        w->setEnabled(true);
}

SearchRow::Mode SearchRow::mode() const {
    const int index = m_mode->currentIndex();
    return index == WholeWord || index == RegularExpression ? Mode(index) : MatchCase;
}

void SearchRow::FindNext() {
    FindNextIn(*m_currentEditor(), m_text->text().toUtf8(), mode());
}

void SearchRow::FindPrevious() {
    FindPreviousIn(*m_currentEditor(), m_text->text().toUtf8(), mode());
}

bool SearchRow::OnSearchKey(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    FindNext();
    return true;
}

bool SearchRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return OnSearchKey(key->key(), key->modifiers());
    }
    return QObject::eventFilter(watched, event);
}
