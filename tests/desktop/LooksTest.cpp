// How the windows present themselves: the program's icon on each, message boxes wide
// enough for their captions, and the "eMenu" request that puts the tray icon back.

#include "../support/WindowFixture.h"

#include "desktop/AboutWindow.h"
#include "desktop/DesktopServices.h"
#include "desktop/TrayRequests.h"
#include "script/InspectorWindow.h"
#include "shell/Dialogs.h"
#include "tools/DecoderWindow.h"
#include "tools/DeobHistoryWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QLocalSocket>
#include <QMessageBox>
#include <QTimer>

#include <functional>
#include <memory>

TEST(Looks, EveryWindowCarriesTheProgramIcon) {
    WindowFixture wb;
    const QIcon program = QApplication::windowIcon();
    ASSERT_FALSE(program.isNull());
    const struct {
        const char* what;
        std::function<std::unique_ptr<QWidget>()> make;
    } windows[] = {
        {"decoder", [] { return std::make_unique<DecoderWindow>(); }},
        {"inspector", [] { return std::make_unique<InspectorWindow>(nullptr); }},
        {"about", [] { return std::make_unique<AboutWindow>(); }},
        {"contact", [] { return std::make_unique<ContactWindow>(); }},
        {"deobfuscation history", [] { return std::make_unique<DeobHistoryWindow>(); }},
        {"message box", [] { return std::make_unique<QMessageBox>(); }},
    };
    EXPECT_EQ(wb.window.windowIcon().cacheKey(), program.cacheKey());
    for (const auto& w : windows) {
        const std::unique_ptr<QWidget> window = w.make();
        EXPECT_EQ(window->windowIcon().cacheKey(), program.cacheKey()) << w.what;
    }
}

TEST(Looks, MessageBoxesShowTheirWholeCaption) {
    WidgetDialogs dialogs;
    for (const char* caption :
         {"信息：", "检查更新", "一个相当长的标题，说明这个提示框是做什么用的"}) {
        int width = 0;
        int needed = 0;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_TRUE(box);
            width = box->width();
            needed = captionWidth(*box);
            box->accept();
        });
        dialogs.message(nullptr, QStringLiteral("保存成功"), QString::fromUtf8(caption));
        EXPECT_GE(width, needed) << caption;
        EXPECT_GT(needed, 0);
    }
}

TEST(Looks, TheTrayIconComesBackWhenAskedOnTheLocalSocket) {
    // A name of this test's own: a workbench of the user may hold "eMenu" itself.
    const QString name =
        QStringLiteral("vexo-test-emenu-%1").arg(QCoreApplication::applicationPid());
    int requests = 0;
    TrayRequests listener(name, [&] { ++requests; });
    ASSERT_TRUE(listener.isListening());
    // A second workbench leaves the name to the first.
    int second = 0;
    TrayRequests other(name, [&] { ++second; });
    EXPECT_FALSE(other.isListening());
    for (int asked = 1; asked <= 2; ++asked) {
        QLocalSocket socket;
        socket.connectToServer(name);
        ASSERT_TRUE(socket.waitForConnected(5000));
        socket.write("eMenu");
        socket.flush();
        for (int i = 0; i < 500 && requests < asked; ++i)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        EXPECT_EQ(requests, asked);
    }
    EXPECT_EQ(second, 0);

    // The workbench itself answers to the name, unless another one already does.
    WindowFixture wb;
    EXPECT_TRUE(wb.window.findChild<TrayRequests*>());
}
