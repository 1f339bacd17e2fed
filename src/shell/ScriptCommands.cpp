#include "shell/ScriptCommands.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/FunctionList.h"
#include "script/GlobalObjects.h"
#include "script/InspectorWindow.h"
#include "script/ScriptSession.h"
#include "shell/BrowserCommands.h"
#include "shell/Dialogs.h"
#include "shell/OutputLog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// The object question of an evaluation, answered through the dialogs interface.
class WindowObjectQuestion : public ObjectQuestion {
public:
    explicit WindowObjectQuestion(const Workspace& work) : m_work(work) {}
    bool askToInspect() override {
        return m_work.dialogs.question(
                   nullptr,
                   QStringLiteral("计算结果返回值为对象，是否查看对象属性和方法（JS数组也是对象）"),
                   QStringLiteral("对象")) == Dialogs::Answer::Ok;
    }
    void inspect(const std::shared_ptr<ScriptObject>& object) override {
        InspectorWindow inspector(object, &m_work.window);
        m_work.dialogs.runModal(inspector);
    }

private:
    const Workspace& m_work;
};
} // namespace

ScriptCommands::ScriptCommands(const Workspace& workspace, const ScriptControls& controls,
                               BrowserCommands& browser)
    : QObject(&workspace.window), m_work(workspace), m_controls(controls), m_browser(browser) {
    m_functions = new FunctionList(
        *controls.functions, *controls.signature, *controls.expression, m_work.globals.procedures(),
        [this] { return m_work.currentEditor(); }, this);
    connect(controls.load, &QPushButton::clicked, this, &ScriptCommands::onLoadClicked);
    connect(controls.evaluate, &QPushButton::clicked, this, &ScriptCommands::onEvaluateClicked);
    // Enter in the expression box does what the button does.
    connect(controls.expression, &QLineEdit::returnPressed, this,
            &ScriptCommands::onEvaluateClicked);
    for (QWidget* w :
         std::initializer_list<QWidget*>{controls.load, controls.evaluate, controls.functions})
        w->setEnabled(true);
}

void ScriptCommands::onLoadClicked() {
    CodeEditor* editor = m_work.currentEditor();
    const QString code = QString::fromUtf8(editor->GetText());
    m_browser.prepareLoad();
    const LoadResult result = LoadCode(m_work.globals, code, m_work.output);
    if (result.errorPlace)
        selectError(*result.errorPlace);
    if (result.outcome == LoadResult::Loaded)
        m_functions->Fill(result.proceduresRefreshed);
}

void ScriptCommands::onEvaluateClicked() {
    WindowObjectQuestion question(m_work);
    const EvalResult result =
        EvaluateExpression(m_work.globals, m_controls.expression->text(), m_work.output, question);
    // An error inside the expression has nothing to show in the script.
    if (result.errorPlace)
        selectError(*result.errorPlace);
}

void ScriptCommands::selectError(const ErrorPlace& place) {
    // Looked up afresh; the shared current-editor reference is left alone.
    CodeEditor* editor = m_work.tabs.editorForPage(m_work.tabs.currentIndex());
    const int n = place.line - 1;
    const int start = editor->PositionFromLine(n);
    const int end = editor->LineEndPosition(n);
    editor->SetSelection(start, end);
    if (place.column < 1 || start < 0)
        return;
    // The engine counts UTF-16 units from 1; the editor counts UTF-8 bytes.
    const QString line = QString::fromUtf8(editor->GetTextRange(start, end));
    const int caret = start + int(line.left(place.column - 1).toUtf8().size());
    // The caret at the column is the main selection, so typing goes there and the view
    // scrolls to it; the line stays marked as a second selection.
    editor->SendScintilla(QsciScintillaBase::SCI_ADDSELECTION, caret, caret);
    editor->SendScintilla(QsciScintillaBase::SCI_SCROLLCARET);
}
