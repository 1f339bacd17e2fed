#include "shell/ServiceCommands.h"

#include "editor/CodeEditor.h"
#include "serve/ServiceSnippets.h"
#include "serve/ServiceWindow.h"
#include "shell/Dialogs.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSpinBox>

ServiceCommands::ServiceCommands(MainWindow& window) : QObject(&window), m_window(window) {
    m_service = new ServiceWindow(
        [this] { return QString::fromUtf8(m_window.CurrentEditor()->GetText()); }, &window);
    if (QMenu* tools = window.menuNamed(QStringLiteral("菜单_工具"))) {
        connect(MainWindow::addNamedAction(tools, QStringLiteral("调用服务…")), &QAction::triggered,
                this, &ServiceCommands::onServiceTriggered);
        connect(MainWindow::addNamedAction(tools, QStringLiteral("生成Python代码")),
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
    const auto code =
        makeServiceSnippet(QStringLiteral("python"), m_window.expressionEdit()->text(), target);
    QGuiApplication::clipboard()->setText(*code);
    m_window.dialogs().message(&m_window, QStringLiteral("代码已经复制，请先在调用服务中启动脚本"),
                               QStringLiteral("代码复制"));
}
