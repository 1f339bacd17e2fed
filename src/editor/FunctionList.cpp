#include "editor/FunctionList.h"

#include "editor/CodeEditor.h"
#include "script/ProcedureList.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

FunctionList::FunctionList(QComboBox& list, QLabel& signature, QLineEdit& expression,
                           const ProcedureList& procedures,
                           std::function<CodeEditor*()> currentEditor, QObject* parent)
    : QObject(parent), m_list(list), m_signature(signature), m_expression(expression),
      m_procedures(procedures), m_currentEditor(std::move(currentEditor)) {
    // Only a choice by the user runs the handler, not the refill after a load.
    connect(&m_list, &QComboBox::activated, this, [this] { GoToFunction(); });
}

void FunctionList::Fill(bool refreshed) {
    m_list.clear();
    if (refreshed) {
        const auto& entries = m_procedures.entries();
        for (qsizetype i = 0; i < entries.size(); ++i)
            m_list.insertItem(int(i), entries[i].name, int(i + 1));
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
    const QByteArray needle = (QStringLiteral("function ") + name).toUtf8();
    int start = 0;
    int end = 0;
    editor->FindText(QsciScintillaBase::SCFIND_WHOLEWORD, 0, editor->Length(), needle, start, end);
    editor->SetSelection(start, end);
}
