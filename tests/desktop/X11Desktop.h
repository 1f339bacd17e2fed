#pragma once
// A virtual X display for the tray and hot-key tests: Xvfb on a free display number, a
// tray host that can be stopped and started, and xdotool to press keys and click.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <functional>

namespace x11 {
// Starts Xvfb on the first free display from :101 and points DISPLAY at it. False
// (with a reason on stderr) when Xvfb is missing or no display could be started.
bool startDisplay();
void stopDisplay();
// The programs these tests drive; the names of those that are missing.
QStringList missingTools();

// Runs xdotool with the arguments; true on exit status 0.
bool xdotool(const QStringList& args);
// Keeps the event loop running until the condition holds or about ten seconds pass.
bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
// The X parent of a window (0 when it cannot be read).
unsigned long parentOf(unsigned long window);
unsigned long rootWindow();

// The desktop's tray host (trayer, docked at the top right).
class TrayHost {
public:
    ~TrayHost() { stop(); }
    // True once the tray host has started and taken the tray.
    bool start();
    void stop();

private:
    QProcess m_process;
};
} // namespace x11
