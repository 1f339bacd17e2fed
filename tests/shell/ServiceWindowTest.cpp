// "调用服务…" and "生成Python代码" in the real window: the service serves the current
// editor's script from its own engines while the window keeps working.

#include "../serve/ServiceClient.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "serve/ServiceSnippets.h"
#include "serve/ServiceWindow.h"
#include "shell/OutputLog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

TEST(ServiceWindow, ServesTheCurrentScriptWhileTheWindowWorks) {
    WindowFixture wb;
    wb.window.tabs().editor(0)->SetText(
        QStringLiteral("var calls = 0;\nfunction tick() { return ++calls; }\n"
                       "function twice(s) { return s + s; }\n")
            .toUtf8());
    wb.window.expressionEdit()->setText(QStringLiteral("twice('中')"));

    QAction* python = wb.window.actionNamed(QStringLiteral("菜单_生成Python代码"));
    ASSERT_TRUE(python);
    python->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              *makeServiceSnippet(QStringLiteral("python"), QStringLiteral("twice('中')"),
                                  {QStringLiteral("http://127.0.0.1:8731/"), {}}));
    EXPECT_EQ(wb.dialogs.messages.last(),
              QStringLiteral("代码复制|代码已经复制，请先在调用服务中启动脚本"));

    QAction* open = wb.window.actionNamed(QStringLiteral("菜单_调用服务…"));
    ASSERT_TRUE(open);
    open->trigger();
    auto* service = wb.window.findChild<ServiceWindow*>();
    ASSERT_TRUE(service);
    EXPECT_TRUE(service->isVisible());
    service->portBox()->setValue(0);
    service->workersBox()->setValue(1);
    service->startStopButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(service->isServing(), 60000);
    EXPECT_EQ(service->statusLabel()->text(), QStringLiteral("正在服务：") + service->address());
    EXPECT_EQ(service->startStopButton()->text(), QStringLiteral("停止"));

    QNetworkAccessManager manager;
    const QUrl call(service->address() + QStringLiteral("call"));
    EXPECT_EQ(request(manager, call, "POST", R"({"function":"twice","args":["中"]})").body,
              R"({"ok":true,"type":"文本型","value":"中中"})");
    EXPECT_EQ(request(manager, call, "POST", R"({"function":"tick"})").json().value("value"), 1);
    EXPECT_EQ(request(manager, call, "POST", R"({"function":"tick"})").json().value("value"), 2);

    // The main engine is the window's own: loading and evaluating there works meanwhile,
    // and the service's calls left nothing in it.
    wb.window.loadButton()->click();
    wb.window.expressionEdit()->setText(QStringLiteral("tick()"));
    const qsizetype before = wb.window.outputLog().messages().size();
    wb.window.evaluateButton()->click();
    EXPECT_TRUE(
        wb.window.outputLog().messages().mid(before).contains(QStringLiteral("-->计算结果：1\r\n")))
        << wb.window.outputLog().messages().mid(before).join("").toStdString();
    QTRY_VERIFY_WITH_TIMEOUT(
        service->countLabel()->text().startsWith(QStringLiteral("调用次数：3（出错 0）")), 10000);

    service->startStopButton()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!service->isServing() && service->startStopButton()->isEnabled(),
                             60000);
    EXPECT_EQ(service->statusLabel()->text(), QStringLiteral("已停止"));
    EXPECT_EQ(service->startStopButton()->text(), QStringLiteral("启动"));
}
