// Entry of the tests that need a real X display: they start their own Xvfb, then run on
// Qt's xcb platform with the tray embedded the classic way (no session bus).

#include "X11Desktop.h"

#include "engine/ScriptThread.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const QStringList missing = x11::missingTools();
    if (!missing.isEmpty()) {
        std::fprintf(stderr, "missing %s (scripts/setup.sh installs them)\n",
                     qPrintable(missing.join(QStringLiteral(", "))));
        // On CI the setup must have installed them; elsewhere the tests are skipped.
        return qEnvironmentVariableIsSet("CI") ? 1 : 0;
    }
    if (!x11::startDisplay())
        return 1;
    qputenv("QT_QPA_PLATFORM", "xcb");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("WAYLAND_DISPLAY");
    int result = 1;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
        ScriptThread::instance().shutdown();
    }
    x11::stopDisplay();
    return result;
}
