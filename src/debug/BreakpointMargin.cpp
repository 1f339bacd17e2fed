#include "debug/BreakpointMargin.h"

#include "editor/CodeEditor.h"

#include <QColor>
#include <QInputDialog>
#include <QMenu>

namespace {
constexpr int kBreakpointMask =
    (1 << BreakpointMargin::kPlainMarker) | (1 << BreakpointMargin::kConditionMarker) |
    (1 << BreakpointMargin::kLogMarker) | (1 << BreakpointMargin::kCurrentMarker);
}

BreakpointMargin::BreakpointMargin(CodeEditor* editor) : QObject(editor), m_editor(editor) {
    setObjectName(QStringLiteral("断点栏"));
    editor->SendScintilla(QsciScintillaBase::SCI_SETMARGINTYPEN, kMargin,
                          long(QsciScintillaBase::SC_MARGIN_SYMBOL));
    editor->SendScintilla(QsciScintillaBase::SCI_SETMARGINWIDTHN, kMargin, 14L);
    editor->SendScintilla(QsciScintillaBase::SCI_SETMARGINMASKN, kMargin, long(kBreakpointMask));
    editor->SendScintilla(QsciScintillaBase::SCI_SETMARGINSENSITIVEN, kMargin, 1L);
    const struct {
        int number;
        int symbol;
        QColor colour;
    } marks[] = {
        {kPlainMarker, QsciScintillaBase::SC_MARK_CIRCLE, QColor(220, 30, 30)},
        {kConditionMarker, QsciScintillaBase::SC_MARK_ROUNDRECT, QColor(230, 120, 0)},
        {kLogMarker, QsciScintillaBase::SC_MARK_ARROWS, QColor(200, 30, 160)},
        {kCurrentMarker, QsciScintillaBase::SC_MARK_SHORTARROW, QColor(250, 210, 0)},
        {kCurrentLineMarker, QsciScintillaBase::SC_MARK_BACKGROUND, QColor(255, 245, 170)},
    };
    for (const auto& m : marks) {
        editor->SendScintilla(QsciScintillaBase::SCI_MARKERDEFINE, m.number, long(m.symbol));
        editor->SendScintilla(QsciScintillaBase::SCI_MARKERSETFORE, m.number, QColor(60, 0, 0));
        editor->SendScintilla(QsciScintillaBase::SCI_MARKERSETBACK, m.number, m.colour);
    }
    auto lineAt = [editor](int position) { return editor->LineFromPosition(position); };
    connect(editor, &QsciScintillaBase::SCN_MARGINCLICK, this,
            [this, lineAt](int position, int, int margin) {
                if (margin == kMargin)
                    toggle(lineAt(position));
            });
    connect(editor, &QsciScintillaBase::SCN_MARGINRIGHTCLICK, this,
            [this, lineAt](int position, int, int margin) {
                if (margin == kMargin)
                    contextMenu(lineAt(position));
            });
}

BreakpointMargin* BreakpointMargin::of(CodeEditor* editor) {
    return editor ? editor->findChild<BreakpointMargin*>(QStringLiteral("断点栏"),
                                                         Qt::FindDirectChildrenOnly)
                  : nullptr;
}

bool BreakpointMargin::has(int line) const {
    const int marks = m_editor->LineMarkers(line);
    return marks & ((1 << kPlainMarker) | (1 << kConditionMarker) | (1 << kLogMarker));
}

void BreakpointMargin::clear(int line) {
    for (int marker : {kPlainMarker, kConditionMarker, kLogMarker}) {
        while (m_editor->LineMarkers(line) & (1 << marker))
            m_editor->DeleteMarker(line, marker);
    }
    emit changed();
}

void BreakpointMargin::set(int line, const QString& condition, const QString& logExpression) {
    if (line < 0)
        return;
    for (int marker : {kPlainMarker, kConditionMarker, kLogMarker})
        while (m_editor->LineMarkers(line) & (1 << marker))
            m_editor->DeleteMarker(line, marker);
    const int marker = !logExpression.isEmpty() ? kLogMarker
                       : !condition.isEmpty()   ? kConditionMarker
                                                : kPlainMarker;
    const int handle = int(m_editor->SendScintilla(QsciScintillaBase::SCI_MARKERADD,
                                                   static_cast<unsigned long>(line), long(marker)));
    if (handle >= 0 && marker != kPlainMarker)
        m_extras.insert(handle, {condition, logExpression});
    emit changed();
}

void BreakpointMargin::clearAll() {
    for (int marker : {kPlainMarker, kConditionMarker, kLogMarker})
        m_editor->SendScintilla(QsciScintillaBase::SCI_MARKERDELETEALL, marker);
    m_extras.clear();
    emit changed();
}

void BreakpointMargin::toggle(int line) {
    if (has(line))
        clear(line);
    else
        set(line);
}

QList<Breakpoint> BreakpointMargin::breakpoints() const {
    QList<Breakpoint> list;
    for (int marker : {kPlainMarker, kConditionMarker, kLogMarker}) {
        int line = -1;
        while ((line = int(m_editor->SendScintilla(QsciScintillaBase::SCI_MARKERNEXT,
                                                   static_cast<unsigned long>(line + 1),
                                                   long(1 << marker)))) >= 0) {
            Breakpoint b;
            b.line = line + 1;
            if (marker != kPlainMarker) {
                // The handle of the mark on that line tells its condition or expression.
                for (auto it = m_extras.cbegin(); it != m_extras.cend(); ++it) {
                    if (int(m_editor->SendScintilla(QsciScintillaBase::SCI_MARKERLINEFROMHANDLE,
                                                    static_cast<unsigned long>(it.key()))) ==
                        line) {
                        b.condition = it->condition;
                        b.logExpression = it->logExpression;
                    }
                }
            }
            list.append(b);
        }
    }
    std::sort(list.begin(), list.end(),
              [](const Breakpoint& a, const Breakpoint& b) { return a.line < b.line; });
    return list;
}

void BreakpointMargin::askFor(int line, bool log) {
    bool ok = false;
    const QString text =
        QInputDialog::getText(m_editor, log ? QStringLiteral("日志点") : QStringLiteral("条件断点"),
                              log ? QStringLiteral("第%1行到达时写出此表达式的值：").arg(line + 1)
                                  : QStringLiteral("第%1行在此条件成立时暂停：").arg(line + 1),
                              QLineEdit::Normal, {}, &ok);
    if (!ok || text.trimmed().isEmpty())
        return;
    if (log)
        set(line, {}, text);
    else
        set(line, text);
}

void BreakpointMargin::contextMenu(int line) {
    QMenu menu(m_editor);
    menu.addAction(QStringLiteral("设置条件断点…"), this, [this, line] { askFor(line, false); });
    menu.addAction(QStringLiteral("设置日志点…"), this, [this, line] { askFor(line, true); });
    if (has(line))
        menu.addAction(QStringLiteral("删除断点"), this, [this, line] { clear(line); });
    menu.exec(QCursor::pos());
}

void BreakpointMargin::showCurrent(int line) {
    for (int marker : {kCurrentMarker, kCurrentLineMarker})
        m_editor->SendScintilla(QsciScintillaBase::SCI_MARKERDELETEALL, marker);
    if (line < 0)
        return;
    m_editor->AddMarker(line, kCurrentMarker);
    m_editor->AddMarker(line, kCurrentLineMarker);
    m_editor->SendScintilla(QsciScintillaBase::SCI_ENSUREVISIBLEENFORCEPOLICY,
                            static_cast<unsigned long>(line));
    m_editor->SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(line));
}
