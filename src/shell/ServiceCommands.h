#pragma once
// "工具(&T)" → "调用服务…" (the service window for the current editor's script) and
// "生成Python代码" (the caller code for the expression in "编辑框_eval", beside
// "生成E代码"'s E-language subroutine).

#include "shell/Workspace.h"

#include <QObject>

class QLineEdit;
class ServiceWindow;

class ServiceCommands : public QObject {
    Q_OBJECT
public:
    ServiceCommands(const Workspace& workspace, QLineEdit* expression);

    void onServiceTriggered();
    void onPythonSnippetTriggered();
    ServiceWindow* serviceWindow() const { return m_service; }

private:
    Workspace m_work;
    QLineEdit* m_expression;
    ServiceWindow* m_service = nullptr;
};
