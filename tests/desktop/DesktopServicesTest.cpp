// Start-up of the tray and the hot key, and Alt+Q's toggle, where there is no desktop
// (the offscreen platform): nothing may fail loudly and the window stays reachable.

#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/WindowFixture.h"

#include "desktop/DesktopServices.h"
#include "desktop/GlobalHotKey.h"
#include "desktop/TrayIcon.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTimer>

namespace {
struct Workbench : WindowFixture {
    Workbench() { window.show(); }
    DesktopServices& desktop() { return *window.findChild<DesktopServices*>(); }
};

} // namespace

TEST(DesktopStartUp, TrayIconAndHotKeyWithoutADesktop) {
    Workbench wb;
    TrayIcon& tray = wb.desktop().tray();
    EXPECT_TRUE(tray.isInstalled());
    ASSERT_TRUE(tray.icon());
    EXPECT_EQ(tray.icon()->toolTip(), QStringLiteral("VexoJS调试工具1.9"));
    EXPECT_EQ(tray.icon()->contextMenu(), wb.window.trayMenu());
    EXPECT_FALSE(tray.icon()->icon().isNull());
    EXPECT_EQ(wb.globals.trayState().window, &wb.window);
    EXPECT_EQ(wb.globals.trayState().rightClickMenu, wb.window.trayMenu());
    EXPECT_EQ(wb.globals.trayState().leftClickMenu, nullptr);
    // No X11 here: the key is not grabbed, quietly.
    EXPECT_FALSE(wb.desktop().hotKey().isRegistered());
    EXPECT_EQ(wb.window.outputLog().messages().size(), 3);
}

TEST(DesktopToggle, MinimisesRestoresAndLeavesMaximisedAlone) {
    Workbench wb;
    MainWindow& w = wb.window;
    ASSERT_FALSE(TrayIcon::canHideToTray());

    wb.desktop().ToggleMainWindow();
    QApplication::processEvents();
    EXPECT_TRUE(w.isMinimized());
    // Without a tray to come back from, the window is minimised, not hidden.
    EXPECT_TRUE(w.isVisible());

    wb.desktop().ToggleMainWindow();
    QApplication::processEvents();
    EXPECT_FALSE(w.isMinimized());
    EXPECT_TRUE(w.isVisible());

    w.showMaximized();
    QApplication::processEvents();
    wb.desktop().ToggleMainWindow();
    QApplication::processEvents();
    EXPECT_TRUE(w.isMaximized());
    EXPECT_TRUE(w.isVisible());

    // A window that went to the tray comes back, restored.
    w.showNormal();
    w.setWindowState(Qt::WindowMinimized);
    w.hide();
    wb.desktop().ToggleMainWindow();
    QApplication::processEvents();
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.isMinimized());
}

TEST(DesktopTrayMenu, ShowAndQuit) {
    Workbench wb;
    MainWindow& w = wb.window;
    w.hide();
    menuEntry(w.trayMenu(), "显示程序")->trigger();
    EXPECT_TRUE(w.isVisible());

    // "退出程序" from the tray, with the window hidden: the event loop ends.
    w.hide();
    bool quitting = false;
    QTimer watchdog;
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &watchdog, [&] { quitting = true; });
    QTimer::singleShot(0, [&] { menuEntry(w.trayMenu(), "退出程序")->trigger(); });
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(20000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(quitting);
    EXPECT_FALSE(w.isVisible());
}
