// "加载代码" pressed again and again in the real window, waiting as the window does (the
// busy box's local loop), with idle time between presses for the engine's own timers.

#include "../support/WindowFixture.h"

#include "shell/OutputLog.h"
#include "shell/ScriptBusyBox.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

namespace {
void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

TEST(RepeatedLoad, HundredsOfPressesWithIdleTimeKeepTheWindowAlive) {
    WindowFixture wb;
    MainWindow& window = wb.window;
    ScriptBusyBox busy(&window);
    ScriptThread::instance().setWaiter(&busy);
    for (int i = 0; i < 250; ++i) {
        const qsizetype before = window.outputLog().messages().size();
        window.loadButton()->click();
        ASSERT_EQ(window.outputLog().messages().mid(before),
                  QStringList{QStringLiteral("-->代码加载成功\r\n")})
            << "press " << i;
        if (i % 10 == 0) {
            window.expressionEdit()->setText(QStringLiteral(
                "(function(){var a=[];for(var i=0;i<30000;i++)a.push([i]);return a.length})()"));
            window.evaluateButton()->click();
        }
        if (i % 5 == 0)
            idle(60);
    }
    ScriptThread::instance().setWaiter(nullptr);
    wb.globals.teardown();
}
