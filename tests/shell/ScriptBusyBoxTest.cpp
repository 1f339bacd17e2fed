// The window's wait for the script thread: quick work shows nothing, long work shows
// "脚本运行中…" and "停止" ends the script, leaving the engine usable.

#include "shell/ScriptBusyBox.h"
#include "engine/ScriptThread.h"
#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QPushButton>
#include <QTimer>

namespace {
QDialog* busyBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QStringLiteral("脚本运行中") && w->isVisible())
            return qobject_cast<QDialog*>(w);
    return nullptr;
}
} // namespace

TEST(ScriptBusyBox, QuickWorkShowsNothingLongWorkCanBeStopped) {
    ScriptBusyBox waiter;
    ScriptThread::instance().setWaiter(&waiter);
    ScriptHost host;

    bool sawBox = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { sawBox = sawBox || busyBox(); });
    watch.start(20);
    EXPECT_EQ(host.Eval(QStringLiteral("1+1")).toDouble(), 2.0);
    EXPECT_FALSE(sawBox);

    // Press "停止" once the box is up; the script ends as error 5100.
    bool pressed = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        QDialog* box = busyBox();
        if (!box || pressed)
            return;
        EXPECT_EQ(box->windowTitle(), QStringLiteral("脚本运行中…"));
        auto* stop = box->findChild<QPushButton*>(QStringLiteral("按钮_停止"));
        ASSERT_TRUE(stop);
        EXPECT_EQ(stop->text(), QStringLiteral("停止"));
        pressed = true;
        stop->click();
    });
    presser.start(50);
    EXPECT_TRUE(host.Eval(QStringLiteral("while(true){}")).isEmpty());
    presser.stop();
    watch.stop();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(host.Error().number, 5100);
    EXPECT_EQ(host.Eval(QStringLiteral("1+1")).toDouble(), 2.0);
    ScriptThread::instance().setWaiter(nullptr);
}
