#pragma once
// "加载代码", "计算表达式" and the function list, wired to the main window.

#include <QObject>

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
    void selectErrorLine(int line);

    MainWindow& m_window;
    FunctionList* m_functions;
};
