// The workbench: global objects, the main window, the event loop, one teardown.

#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/EditorRecovery.h"
#include "shell/Fonts.h"
#include "shell/InputScript.h"
#include "shell/MainWindow.h"
#include "shell/ScriptBusyBox.h"
#include "shell/Translations.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWindow>

#include <cstdio>

namespace {
// Prints the time from launch to the first expose of the window, then closes it.
class StartupProbe : public QObject {
public:
    StartupProbe(const QElapsedTimer& clock, QWidget& window) : m_clock(clock), m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !m_done) {
            m_done = true;
            std::printf("window shown after %lld ms\n", m_clock.elapsed());
            std::fflush(stdout);
            QTimer::singleShot(0, &m_window, &QWidget::close);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer& m_clock;
    QWidget& m_window;
    bool m_done = false;
};
} // namespace

int main(int argc, char* argv[]) {
    QElapsedTimer sinceLaunch;
    sinceLaunch.start();
    QApplication app(argc, argv);
    // For the start-up benchmark: report when the window is on screen, then quit.
    const bool startupProbe = QApplication::arguments().contains(QStringLiteral("--startup-probe"));
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
        EditorRecovery recovery(window, Recovery::defaultDirectory());
        const std::unique_ptr<InputScript> input = InputScript::fromEnvironment(window);
        window.show();
        StartupProbe probe(sinceLaunch, window);
        if (startupProbe) {
            // A measuring run neither asks about nor touches the user's recovery copies.
            window.windowHandle()->installEventFilter(&probe);
        } else {
            // Once the window is up with its start-up state: the recovery question, then
            // any scripted input.
            QTimer::singleShot(0, &window, [&] {
                recovery.start();
                if (input)
                    input->play();
            });
        }
        status = QApplication::exec();
        if (!startupProbe)
            recovery.finish();
        ScriptThread::instance().setWaiter(nullptr);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return status;
}
