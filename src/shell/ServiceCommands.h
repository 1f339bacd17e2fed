#pragma once
// "工具(&T)" → "调用服务…" (the service window for the current editor's script) and
// "生成Python代码" (the caller code for the expression in "编辑框_eval", beside
// "生成E代码"'s E-language subroutine).

#include <QObject>

class MainWindow;
class ServiceWindow;

class ServiceCommands : public QObject {
    Q_OBJECT
public:
    explicit ServiceCommands(MainWindow& window);

    void onServiceTriggered();
    void onPythonSnippetTriggered();
    ServiceWindow* serviceWindow() const { return m_service; }

private:
    MainWindow& m_window;
    ServiceWindow* m_service = nullptr;
};
