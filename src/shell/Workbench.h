#pragma once
// The workbench's life from launch to exit: global objects, the main window, the busy
// box, the recovery copy and the work kept across runs, the event loop, one teardown.
// The shipped program runs it as it is; test and measuring programs attach a driver.

#include <QElapsedTimer>

class MainWindow;

class WorkbenchDriver {
public:
    virtual ~WorkbenchDriver() = default;
    // A measuring run neither asks about nor touches the user's recovery copies and keeps
    // nothing across runs.
    virtual bool measuring() const { return false; }
    // The window was just shown; its first expose is still to come.
    virtual void windowShown(MainWindow&, const QElapsedTimer& /*sinceLaunch*/) {}
    // The window shows its start-up state and the recovery question has been answered.
    virtual void windowReady(MainWindow&) {}
};

int runWorkbench(int argc, char* argv[], WorkbenchDriver* driver = nullptr);
