// The workbench: global objects, the main window, the event loop, one teardown.

#include "script/GlobalObjects.h"
#include "script/ScriptThread.h"
#include "shell/Dialogs.h"
#include "shell/Fonts.h"
#include "shell/MainWindow.h"
#include "shell/ScriptBusyBox.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("vexojs"));
    installFontSubstitutes();

    int status = 0;
    {
        GlobalObjects globals;
        WidgetDialogs dialogs;
        MainWindow window(globals, dialogs);
        ScriptBusyBox busy(&window);
        ScriptThread::instance().setWaiter(&busy);
        window.show();
        status = QApplication::exec();
        ScriptThread::instance().setWaiter(nullptr);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return status;
}
