#pragma once
// "加载代码", "计算表达式" and the function list, wired to the main window.

#include <QObject>

struct ErrorPlace;
class FunctionList;
class MainWindow;

class ScriptCommands : public QObject {
    Q_OBJECT
public:
    explicit ScriptCommands(MainWindow& window);

    void onLoadClicked();
    void onEvaluateClicked();
    FunctionList& functionList() const { return *m_functions; }

private:
    // Selects the error's line in the current editor; with a column, the caret stands at
    // it (the line stays selected beside it), so a long line shows the place itself.
    void selectError(const ErrorPlace& place);

    MainWindow& m_window;
    FunctionList* m_functions;
};
