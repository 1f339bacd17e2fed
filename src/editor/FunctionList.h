#pragma once
// The function list under the editors: filled from the procedures of the last load, each
// entry's tooltip giving the parameter names its definition writes; choosing an entry
// puts its call into the expression box, its signature into the label and selects its
// definition in the current editor ("function name"; for let, const and class bindings
// the name where the loaded text defines it).

#include <QObject>

#include <functional>

class CodeEditor;
class ProcedureList;
class QComboBox;
class QLabel;
class QLineEdit;

class FunctionList : public QObject {
    Q_OBJECT
public:
    FunctionList(QComboBox& list, QLabel& signature, QLineEdit& expression,
                 const ProcedureList& procedures, std::function<CodeEditor*()> currentEditor,
                 QObject* parent = nullptr);

    // Refills the list; only when `refreshed` do the procedures' names go in. The first
    // item is selected without choosing it.
    void Fill(bool refreshed);
    // The selection handler.
    void GoToFunction();

private:
    QComboBox& m_list;
    QLabel& m_signature;
    QLineEdit& m_expression;
    const ProcedureList& m_procedures;
    std::function<CodeEditor*()> m_currentEditor;
};
