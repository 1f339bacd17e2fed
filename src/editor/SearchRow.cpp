#include "editor/SearchRow.h"

#include "editor/CodeEditor.h"
#include "editor/ReplaceBar.h"
#include "editor/ReplaceText.h"

#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <limits>

int SearchFlags(SearchRow::Mode mode) {
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

void FindNextIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode) {
    if (needle.isEmpty())
        return;
    const int flags = SearchFlags(mode);
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
                                 SearchRow::Mode mode, int limit, bool* badPattern) {
    QList<QPair<int, int>> matches;
    if (badPattern)
        *badPattern = false;
    if (needle.isEmpty())
        return matches;
    auto& e = const_cast<CodeEditor&>(editor);
    const int flags = SearchFlags(mode);
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
        if (badPattern)
            *badPattern = true;
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
    : QObject(parent), m_text(text), m_mode(mode), m_currentEditor(std::move(currentEditor)),
      m_status(new QLabel(text)), m_recount(new QTimer(this)) {
    connect(button, &QPushButton::clicked, this, &SearchRow::FindNext);
    m_text->installEventFilter(this);
    for (QWidget* w : std::initializer_list<QWidget*>{text, mode, button})
        w->setEnabled(true);

    m_status->setObjectName(QStringLiteral("标签_查找结果"));
    m_status->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QPalette grey = m_status->palette();
    grey.setColor(QPalette::WindowText, QColor(110, 110, 110));
    m_status->setPalette(grey);
    m_status->hide();
    m_recount->setSingleShot(true);
    m_recount->setInterval(250);
    connect(m_recount, &QTimer::timeout, this, &SearchRow::showCount);
    auto changed = [this] {
        setStatus({});
        m_recount->start();
    };
    connect(m_text, &QLineEdit::textChanged, this, changed);
    connect(m_mode, &QComboBox::currentIndexChanged, this, changed);
}

void SearchRow::attachReplaceBar(ReplaceBar* bar) {
    m_bar = bar;
    connect(bar->previousButton(), &QPushButton::clicked, this, &SearchRow::FindPrevious);
    connect(bar->nextButton(), &QPushButton::clicked, this, &SearchRow::FindNext);
    connect(bar->replaceButton(), &QPushButton::clicked, this, &SearchRow::Replace);
    connect(bar->replaceAllButton(), &QPushButton::clicked, this, &SearchRow::ReplaceAll);
    connect(bar->replacementBox(), &QLineEdit::returnPressed, this, &SearchRow::Replace);
}

QString SearchRow::statusText() const {
    return m_status->isVisible() || !m_status->text().isEmpty() ? m_status->text() : QString();
}

void SearchRow::setStatus(const QString& text) {
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
    placeStatus();
}

void SearchRow::placeStatus() {
    if (m_status->text().isEmpty()) {
        m_text->setTextMargins(0, 0, 0, 0);
        return;
    }
    const int width = m_status->fontMetrics().horizontalAdvance(m_status->text()) + 8;
    m_status->setGeometry(m_text->width() - width - 2, 0, width, m_text->height());
    m_text->setTextMargins(0, 0, width, 0);
}

void SearchRow::showCount() {
    m_recount->stop();
    CodeEditor* editor = m_currentEditor();
    const QByteArray needle = m_text->text().toUtf8();
    if (!editor || needle.isEmpty()) {
        setStatus({});
        return;
    }
    bool bad = false;
    const QList<QPair<int, int>> matches =
        MatchesIn(*editor, needle, mode(), kCountLimit + 1, &bad);
    if (bad) {
        setStatus(QStringLiteral("表达式有误"));
        return;
    }
    if (matches.isEmpty()) {
        setStatus(QStringLiteral("未找到"));
        return;
    }
    const QString total = matches.size() > kCountLimit ? QStringLiteral("%1+").arg(kCountLimit)
                                                       : QString::number(matches.size());
    const QPair<int, int> selection{
        int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART)),
        int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND))};
    const qsizetype at = matches.indexOf(selection);
    setStatus(at >= 0 && at < kCountLimit ? QStringLiteral("%1/%2").arg(at + 1).arg(total)
                                          : QStringLiteral("共 %1 处").arg(total));
}

void SearchRow::Replace() {
    CodeEditor* editor = m_currentEditor();
    const QByteArray needle = m_text->text().toUtf8();
    const QByteArray replacement = m_bar ? m_bar->replacementBox()->text().toUtf8() : QByteArray();
    ReplaceSelectionIn(*editor, needle, replacement, mode());
    FindNextIn(*editor, needle, mode());
    showCount();
}

void SearchRow::ReplaceAll() {
    CodeEditor* editor = m_currentEditor();
    const QByteArray replacement = m_bar ? m_bar->replacementBox()->text().toUtf8() : QByteArray();
    const ReplaceOutcome done = ReplaceAllIn(*editor, m_text->text().toUtf8(), replacement, mode());
    if (m_text->text().isEmpty())
        setStatus({});
    else if (done.badPattern)
        setStatus(QStringLiteral("表达式有误"));
    else if (done.replaced == 0)
        setStatus(QStringLiteral("未找到"));
    else
        setStatus(QStringLiteral("已替换 %1 处").arg(done.replaced));
}

void SearchRow::OpenReplace() {
    CodeEditor* editor = m_currentEditor();
    const int start = int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
    const int end = int(editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND));
    const QByteArray selected = editor->GetTextRange(start, end);
    // A selection within one line is what the user wants to replace.
    if (!selected.isEmpty() && !selected.contains('\n') && !selected.contains('\r'))
        m_text->setText(QString::fromUtf8(selected));
    if (m_bar)
        m_bar->open();
}

SearchRow::Mode SearchRow::mode() const {
    const int index = m_mode->currentIndex();
    return index == WholeWord || index == RegularExpression ? Mode(index) : MatchCase;
}

void SearchRow::FindNext() {
    FindNextIn(*m_currentEditor(), m_text->text().toUtf8(), mode());
    showCount();
}

void SearchRow::FindPrevious() {
    FindPreviousIn(*m_currentEditor(), m_text->text().toUtf8(), mode());
    showCount();
}

bool SearchRow::OnSearchKey(int key, Qt::KeyboardModifiers) {
    if (key != Qt::Key_Return && key != Qt::Key_Enter)
        return false;
    FindNext();
    return true;
}

bool SearchRow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_text && event->type() == QEvent::Resize)
        placeStatus();
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        return OnSearchKey(key->key(), key->modifiers());
    }
    return QObject::eventFilter(watched, event);
}
