#pragma once
// "加载代码", "计算表达式" and the function list, wired to the main window.

#include "shell/Workspace.h"

#include <QObject>

class BrowserCommands;
struct ErrorPlace;
class FunctionList;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

struct ScriptControls {
    QPushButton* load;
    QPushButton* evaluate;
    QComboBox* functions;
    QLabel* signature;
    QLineEdit* expression;
};

class ScriptCommands : public QObject {
    Q_OBJECT
public:
    // browser: gives the main engine its environment before each load.
    ScriptCommands(const Workspace& workspace, const ScriptControls& controls,
                   BrowserCommands& browser);

    void onLoadClicked();
    void onEvaluateClicked();
    FunctionList& functionList() const { return *m_functions; }

private:
    // Selects the error's line in the current editor; with a column, the caret stands at
    // it (the line stays selected beside it), so a long line shows the place itself.
    void selectError(const ErrorPlace& place);

    Workspace m_work;
    ScriptControls m_controls;
    BrowserCommands& m_browser;
    FunctionList* m_functions;
};
