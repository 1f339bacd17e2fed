#include "shell/ServiceCommands.h"

#include "editor/CodeEditor.h"
#include "serve/ServiceSnippets.h"
#include "serve/ServiceWindow.h"
#include "shell/Dialogs.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>

ServiceCommands::ServiceCommands(const Workspace& workspace, QLineEdit* expression)
    : QObject(&workspace.window), m_work(workspace), m_expression(expression) {
    m_service = new ServiceWindow(
        [this] { return QString::fromUtf8(m_work.currentEditor()->GetText()); }, &m_work.window);
    if (QMenu* tools = m_work.menu(QStringLiteral("菜单_工具"))) {
        connect(Workspace::addNamedAction(tools, QStringLiteral("调用服务…")), &QAction::triggered,
                this, &ServiceCommands::onServiceTriggered);
        connect(Workspace::addNamedAction(tools, QStringLiteral("生成Python代码")),
                &QAction::triggered, this, &ServiceCommands::onPythonSnippetTriggered);
    }
}

void ServiceCommands::onServiceTriggered() {
    m_service->show();
    m_service->raise();
    m_service->activateWindow();
}

void ServiceCommands::onPythonSnippetTriggered() {
    SnippetTarget target;
    // The running service's address, else the address the window would start it on.
    target.url = m_service->isServing() ? m_service->address()
                                        : QStringLiteral("http://%1:%2/")
                                              .arg(m_service->hostEdit()->text().trimmed())
                                              .arg(m_service->portBox()->value());
    target.token = m_service->tokenEdit()->text();
    const auto code = makeServiceSnippet(QStringLiteral("python"), m_expression->text(), target);
    QGuiApplication::clipboard()->setText(*code);
    m_work.dialogs.message(&m_work.window, QStringLiteral("代码已经复制，请先在调用服务中启动脚本"),
                           QStringLiteral("代码复制"));
}
