// The tray and Alt+Q on a real X display with a real tray host, driven by xdotool as a
// user's mouse and keyboard would.

#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/WindowFixture.h"
#include "X11Desktop.h"

#include "desktop/DesktopServices.h"
#include "desktop/GlobalHotKey.h"
#include "desktop/TrayIcon.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

using x11::waitFor;
using x11::xdotool;

namespace {
const QString kTitle = QStringLiteral("VexoJS调试工具1.9");

struct Workbench : WindowFixture {
    Workbench() {
        window.show();
        waitFor([&] { return mapState(window.winId()) == "IsViewable"; });
    }
    DesktopServices& desktop() { return *window.findChild<DesktopServices*>(); }
    QSystemTrayIcon& icon() { return *desktop().tray().icon(); }

    static QByteArray mapState(WId window) {
        QProcess p;
        p.start(QStringLiteral("xwininfo"), {QStringLiteral("-id"), QString::number(window)});
        p.waitForFinished(10000);
        for (const QByteArray& line : p.readAllStandardOutput().split('\n'))
            if (line.contains("Map State:"))
                return line.split(':').last().trimmed();
        return {};
    }
    bool shownOnScreen() { return window.isVisible() && mapState(window.winId()) == "IsViewable"; }
    bool goneFromScreen() {
        return !window.isVisible() && mapState(window.winId()) != "IsViewable";
    }
    // Embedded in a tray host's window, and placed. The icon is drawn in a window of
    // its own that the tray host embeds; Qt makes a new one for each tray it docks into
    // (and the old one may linger a while).
    bool iconDocked() {
        const unsigned long root = x11::rootWindow();
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (QByteArray(w->metaObject()->className()) != "QSystemTrayIconSys")
                continue;
            const unsigned long parent = x11::parentOf(w->winId());
            // Until the host has placed it, the icon's window reads as standing at the
            // screen's corner (the tray here is at the top right).
            const QRect at = icon().geometry();
            if (parent != 0 && parent != root && !at.isEmpty() && at.topLeft() != QPoint(0, 0))
                return true;
        }
        return false;
    }
    void clickIcon(int button, int times = 1) {
        const QPoint at = icon().geometry().center();
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "--repeat",
                 QString::number(times), "--delay", "120", QString::number(button)});
    }
    void chooseFromTrayMenu(const char* text) {
        QMenu* menu = window.trayMenu();
        clickIcon(3);
        ASSERT_TRUE(waitFor([&] { return menu->isVisible(); }))
            << "tray menu did not pop up; icon at " << icon().geometry().x() << ","
            << icon().geometry().y();
        QAction* a = menuEntry(menu, text);
        ASSERT_TRUE(a) << "no item " << text;
        const QPoint at = menu->mapToGlobal(menu->actionGeometry(a).center());
        xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"});
    }
};

// The small windows of a vexojs process at the top of the screen: the tray icon, and
// the tray menu while it is open (as xwininfo lists them: size, then absolute position).
QList<QRect> programWindows() {
    QProcess p;
    p.start(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")});
    p.waitForFinished(10000);
    static const QRegularExpression geometry(QStringLiteral(
        "\\(\"vexojs\" "
        "\"vexojs\"\\)\\s+(\\d+)x(\\d+)\\+-?\\d+\\+-?\\d+\\s+\\+(-?\\d+)\\+(-?\\d+)"));
    QList<QRect> found;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n')) {
        const auto m = geometry.match(line);
        if (!m.hasMatch())
            continue;
        const QRect r(m.captured(3).toInt(), m.captured(4).toInt(), m.captured(1).toInt(),
                      m.captured(2).toInt());
        if (r.height() < 100 && r.top() < 100 && r.width() > 2)
            found << r;
    }
    return found;
}

QPoint programIcon() {
    for (const QRect& r : programWindows())
        if (r.width() == r.height())
            return r.center();
    return {};
}

// Lets events that are already on their way arrive (no condition to wait for).
void settle() {
    waitFor([] { return false; }, 300);
}
} // namespace

TEST(X11NoTrayHost, MinimisedWindowStaysReachable) {
    ASSERT_FALSE(QSystemTrayIcon::isSystemTrayAvailable());
    Workbench wb;
    ASSERT_TRUE(wb.desktop().hotKey().isRegistered());

    wb.window.showMinimized();
    settle();
    EXPECT_TRUE(wb.window.isMinimized());
    EXPECT_TRUE(wb.shownOnScreen()) << "hidden without a tray to bring it back from";

    // Alt+Q brings it back, and minimises it again; it is never hidden.
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return !wb.window.isMinimized(); }));
    EXPECT_TRUE(wb.shownOnScreen());
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.window.isMinimized(); }));
    settle();
    EXPECT_TRUE(wb.window.isVisible());
}

TEST(X11Tray, HotKeyMinimiseDoubleClickAndMenu) {
    x11::TrayHost host;
    ASSERT_TRUE(host.start());
    Workbench wb;
    ASSERT_TRUE(waitFor([&] { return wb.iconDocked(); })) << "the icon never reached the tray";
    EXPECT_EQ(wb.icon().toolTip(), kTitle);

    // Alt+Q hides to the tray and brings the window back, restored.
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.shownOnScreen(); }));
    EXPECT_FALSE(wb.window.isMinimized());
    // With CapsLock and NumLock on, the key still works.
    xdotool({"key", "Caps_Lock", "Num_Lock"});
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.shownOnScreen(); }));
    xdotool({"key", "Caps_Lock", "Num_Lock"});

    // Minimising goes to the tray; a double-click on the icon restores.
    wb.window.showMinimized();
    EXPECT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    wb.clickIcon(1, 2);
    EXPECT_TRUE(waitFor([&] { return wb.shownOnScreen(); }));
    EXPECT_FALSE(wb.window.isMinimized());

    // A single left click does nothing.
    wb.clickIcon(1);
    settle();
    EXPECT_TRUE(wb.shownOnScreen());
    EXPECT_FALSE(wb.window.trayMenu()->isVisible());

    // Right click: "显示程序" brings a hidden window back.
    xdotool({"key", "alt+q"});
    ASSERT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    wb.chooseFromTrayMenu("显示程序");
    EXPECT_TRUE(waitFor([&] { return wb.shownOnScreen(); }));

    // Maximised: Alt+Q leaves it alone.
    wb.window.showMaximized();
    settle();
    xdotool({"key", "alt+q"});
    settle();
    EXPECT_TRUE(wb.shownOnScreen());
    wb.window.showNormal();
}

TEST(X11Tray, IconReturnsWhenTheTrayHostRestarts) {
    x11::TrayHost first;
    ASSERT_TRUE(first.start());
    Workbench wb;
    ASSERT_TRUE(waitFor([&] { return wb.iconDocked(); }));
    first.stop();
    EXPECT_TRUE(waitFor([&] { return !wb.iconDocked(); }));

    x11::TrayHost second;
    ASSERT_TRUE(second.start());
    // (The new host may well get the same window ids as the old one.)
    EXPECT_TRUE(waitFor([&] { return wb.iconDocked(); }))
        << "the icon did not come back into the new tray";
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    wb.clickIcon(1, 2);
    EXPECT_TRUE(waitFor([&] { return wb.shownOnScreen(); }));
}

TEST(X11Tray, HiddenWindowComesBackWhenTheTrayHostGoesAway) {
    x11::TrayHost host;
    ASSERT_TRUE(host.start());
    Workbench wb;
    ASSERT_TRUE(waitFor([&] { return wb.iconDocked(); }));
    xdotool({"key", "alt+q"});
    ASSERT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));
    host.stop();
    // On the taskbar, minimised: reachable without knowing Alt+Q.
    EXPECT_TRUE(waitFor([&] { return wb.window.isMinimized() && wb.shownOnScreen(); }, 5000));
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return !wb.window.isMinimized(); }));
}

TEST(X11Tray, QuitFromTheTrayMenuEndsTheEventLoop) {
    x11::TrayHost host;
    ASSERT_TRUE(host.start());
    Workbench wb;
    ASSERT_TRUE(waitFor([&] { return wb.iconDocked(); }));
    wb.window.showMinimized();
    ASSERT_TRUE(waitFor([&] { return wb.goneFromScreen(); }));

    QTimer watchdog;
    QTimer::singleShot(0, &watchdog, [&] { wb.chooseFromTrayMenu("退出程序"); });
    QObject::connect(&watchdog, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    watchdog.start(30000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_FALSE(wb.window.isVisible());
}

TEST(X11Program, AltQHidesAndShowsTheWorkbench) {
    x11::TrayHost host;
    ASSERT_TRUE(host.start());
    QProcess program;
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QStringLiteral(VEXO_BUILD_DIR "/vexojs"), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    auto visible = [] { return xdotool({"search", "--onlyvisible", "--name", kTitle}); };
    ASSERT_TRUE(waitFor(visible, 20000));
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return !visible(); }));
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor(visible));
    // "退出程序" from the icon's menu (chosen with the keyboard: Up wraps to the last item)
    // ends the program, and the icon leaves the tray.
    const QPoint icon = programIcon();
    ASSERT_FALSE(icon.isNull());
    xdotool({"mousemove", QString::number(icon.x()), QString::number(icon.y()), "click", "3"});
    ASSERT_TRUE(waitFor([] { return programWindows().size() > 1; }));
    xdotool({"key", "Up", "Return"});
    EXPECT_TRUE(program.waitForFinished(20000));
    EXPECT_TRUE(programIcon().isNull());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
}

TEST(X11HotKey, HoldingTheKeysTogglesOnce) {
    // The keyboard repeats a held key; the toggle must not flicker with it.
    GlobalHotKey hotKey;
    int toggles = 0;
    ASSERT_TRUE(hotKey.RegisterToggleHotKey(GlobalHotKey::Alt, 'Q', [&] { ++toggles; }));
    xdotool({"keydown", "alt+q"});
    settle();
    xdotool({"keydown", "q"}); // what a held key sends again while it is down
    xdotool({"keydown", "q"});
    waitFor([] { return false; }, 1500); // past the repeat delay, in case the server repeats
    xdotool({"keyup", "q", "alt"});
    settle();
    EXPECT_EQ(toggles, 1);
    // Released and pressed again: that is a second toggle.
    xdotool({"key", "alt+q"});
    EXPECT_TRUE(waitFor([&] { return toggles == 2; }));
}
