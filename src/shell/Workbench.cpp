#include "shell/Workbench.h"

#include "debug/DebugController.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/EditorRecovery.h"
#include "shell/FixedTimeOption.h"
#include "shell/Fonts.h"
#include "shell/MainWindow.h"
#include "shell/ScriptBusyBox.h"
#include "shell/SessionKeeper.h"
#include "shell/Translations.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

int runWorkbench(int argc, char* argv[], WorkbenchDriver* driver) {
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    QApplication app(argc, argv);
    WorkbenchDriver plain;
    WorkbenchDriver& with = driver ? *driver : plain;
    const bool measuring = with.measuring();
    QApplication::setApplicationName(QStringLiteral("vexojs"));
    installFontSubstitutes();
    installTranslations(app);

    int status = 0;
    {
        GlobalObjects globals;
        WidgetDialogs dialogs;
        MainWindow window(globals, dialogs);
        ScriptBusyBox busy(&window);
        ScriptThread::instance().setWaiter(&busy);
        DebugController debugger(window.workspace(), window.debugControls());
        EditorRecovery recovery(window.workspace(), Recovery::defaultDirectory());
        SessionKeeper session(window.workspace(), window.sessionControls(),
                              Recovery::defaultDirectory());
        FixedTimeOption fixedTime(window.workspace(), session.settingsPath());
        if (!measuring)
            session.restore();
        window.show();
        with.windowShown(window, sinceLaunch);
        if (!measuring) {
            // Once the window is up with its start-up state: the recovery question, then
            // whatever the driver does.
            QTimer::singleShot(0, &window, [&] {
                recovery.start();
                with.windowReady(window);
            });
        }
        status = QApplication::exec();
        if (!measuring) {
            // "退出程序" and closing the window both end here. Should the texts fail to
            // be kept, the recovery copy stays in their place and the next start offers it.
            QString reason;
            const bool kept = session.save(&reason);
            if (!kept)
                std::fprintf(stderr, "vexojs: %s\n", reason.toLocal8Bit().constData());
            recovery.finish(!kept);
        }
        ScriptThread::instance().setWaiter(nullptr);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return status;
}
