#include "editor/FunctionList.h"

#include "editor/CodeEditor.h"
#include "script/ProcedureList.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStringView>

FunctionList::FunctionList(QComboBox& list, QLabel& signature, QLineEdit& expression,
                           const ProcedureList& procedures,
                           std::function<CodeEditor*()> currentEditor, QObject* parent)
    : QObject(parent), m_list(list), m_signature(signature), m_expression(expression),
      m_procedures(procedures), m_currentEditor(std::move(currentEditor)) {
    // Only a choice by the user runs the handler, not the refill after a load.
    connect(&m_list, &QComboBox::activated, this, [this] { GoToFunction(); });
}

namespace {
// The definition's parameter names as written, for the entry's tooltip: `sign(a, b)`.
QString writtenSignature(const Procedure& entry) {
    if (!entry.parameterNames)
        return {};
    QStringList names;
    for (const QString& name : *entry.parameterNames)
        names << (name.isEmpty() ? QStringLiteral("{…}") : name); // a destructuring pattern
    return entry.name + QLatin1Char('(') + names.join(QStringLiteral(", ")) + QLatin1Char(')');
}

// let, const and class bindings: the name where the loaded text had it, when the editor
// still holds that text there (their definitions are no "function name").
bool selectWhereLoaded(CodeEditor& editor, const Procedure& entry) {
    if (entry.offset < 0)
        return false;
    const QString text = QString::fromUtf8(editor.GetText());
    if (QStringView(text).mid(entry.offset, entry.name.size()) != entry.name)
        return false;
    const int start = int(QStringView(text).left(entry.offset).toUtf8().size());
    editor.SetSelection(start, start + int(entry.name.toUtf8().size()));
    return true;
}

bool isLexical(const Procedure& entry) {
    return entry.definedBy == QLatin1String("let") || entry.definedBy == QLatin1String("const") ||
           entry.definedBy == QLatin1String("class");
}
} // namespace

void FunctionList::Fill(bool refreshed) {
    m_list.clear();
    if (refreshed) {
        const auto& entries = m_procedures.entries();
        for (qsizetype i = 0; i < entries.size(); ++i) {
            m_list.insertItem(int(i), entries[i].name, int(i + 1));
            const QString tip = writtenSignature(entries[i]);
            if (!tip.isEmpty())
                m_list.setItemData(int(i), tip, Qt::ToolTipRole);
        }
    }
    m_list.setCurrentIndex(0);
}

void FunctionList::GoToFunction() {
    CodeEditor* editor = m_currentEditor();
    const int position = m_list.currentIndex();
    if (position < 0)
        return;
    const QString name = m_list.itemText(position);
    m_expression.setText(name + QStringLiteral("()"));
    const Procedure* entry = m_procedures.entry(m_list.itemData(position).toInt());
    if (!entry)
        return;
    QStringList parameters;
    for (int i = 1; i <= entry->numArgs; ++i)
        parameters << QStringLiteral("value%1").arg(i);
    m_signature.setText(QStringLiteral("     function ") + entry->name + QLatin1Char('(') +
                        parameters.join(QLatin1Char(',')) + QLatin1Char(')'));

    // The editor holds UTF-8, so the needle is UTF-8 too: names in any script are found.
    int start = 0;
    int end = 0;
    if (isLexical(*entry)) {
        if (selectWhereLoaded(*editor, *entry))
            return;
        // Edited since: the first "const name" (or let, class) is the best guess.
        const QByteArray needle = (entry->definedBy + QLatin1Char(' ') + name).toUtf8();
        if (editor->FindText(QsciScintillaBase::SCFIND_WHOLEWORD, 0, editor->Length(), needle,
                             start, end)) {
            editor->SetSelection(start, end);
            return;
        }
    }
    const QByteArray needle = (QStringLiteral("function ") + name).toUtf8();
    editor->FindText(QsciScintillaBase::SCFIND_WHOLEWORD, 0, editor->Length(), needle, start, end);
    editor->SetSelection(start, end);
}
