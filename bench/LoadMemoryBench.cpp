// Resident memory over 1,000 presses of "加载代码" on the demonstration script, in the
// real window (offscreen), waiting as the window waits; with an evaluation that leaves
// garbage every tenth press and idle time for the engine's own timers.

#include "engine/ScriptThread.h"
#include "script/DemoScript.h"
#include "script/GlobalObjects.h"
#include "script/TextCodec.h"
#include "shell/Dialogs.h"
#include "shell/MainWindow.h"
#include "shell/ScriptBusyBox.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <cstdio>

namespace {
long residentKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong();
    return 0;
}

void idle(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    // --write-demo FILE: the demonstration script in UTF-8, for node's counterpart.
    if (argc > 2 && QByteArray(argv[1]) == "--write-demo") {
        QFile out(QString::fromLocal8Bit(argv[2]));
        return out.open(QIODevice::WriteOnly) &&
                       out.write(decodeBytes(demoScriptGbk(), "GBK").value_or(QString()).toUtf8()) >
                           0
                   ? 0
                   : 1;
    }
    const int presses = argc > 1 ? atoi(argv[1]) : 1000;
    {
        GlobalObjects globals;
        WidgetDialogs dialogs;
        MainWindow window(globals, dialogs);
        ScriptBusyBox busy(&window);
        ScriptThread::instance().setWaiter(&busy);
        std::printf("presses 0: %ld KB\n", residentKb());
        for (int i = 1; i <= presses; ++i) {
            window.loadButton()->click();
            if (i % 10 == 0) {
                window.expressionEdit()->setText(QStringLiteral(
                    "(function(){var a=[];for(var i=0;i<20000;i++)a.push({i:i});return 1})()"));
                window.evaluateButton()->click();
            }
            if (i % 20 == 0)
                idle(20);
            if (i % 100 == 0)
                std::printf("presses %d: %ld KB\n", i, residentKb());
        }
        ScriptThread::instance().setWaiter(nullptr);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return 0;
}
