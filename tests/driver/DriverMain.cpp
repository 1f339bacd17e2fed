// vexojs-driver: the workbench with what tests and benchmarks need and the shipped
// program leaves out.
//   --startup-probe        print the time from launch to the window's first expose, then
//                          close it (a measuring run: no recovery copy, nothing kept)
//   VEXOJS_INPUT_SCRIPT=F  play the input steps of file F into the window (InputScript.h)

#include "InputScript.h"

#include "shell/MainWindow.h"
#include "shell/Workbench.h"

#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {
class Driver : public QObject, public WorkbenchDriver {
public:
    explicit Driver(bool probe) : m_probe(probe) {}

    bool measuring() const override { return m_probe; }

    void windowShown(MainWindow& window, const QElapsedTimer& sinceLaunch) override {
        if (m_probe) {
            m_window = &window;
            m_sinceLaunch = &sinceLaunch;
            window.windowHandle()->installEventFilter(this);
            return;
        }
        m_input = InputScript::fromEnvironment(window);
    }

    void windowReady(MainWindow&) override {
        if (m_input)
            m_input->play();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Expose && !m_shown) {
            m_shown = true;
            std::printf("window shown after %lld ms\n", m_sinceLaunch->elapsed());
            std::fflush(stdout);
            QTimer::singleShot(0, m_window, &QWidget::close);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_probe;
    bool m_shown = false;
    MainWindow* m_window = nullptr;
    const QElapsedTimer* m_sinceLaunch = nullptr;
    std::unique_ptr<InputScript> m_input;
};
} // namespace

int main(int argc, char* argv[]) {
    bool probe = false;
    for (int i = 1; i < argc; ++i)
        probe = probe || std::strcmp(argv[i], "--startup-probe") == 0;
    Driver driver(probe);
    return runWorkbench(argc, argv, &driver);
}
