#pragma once
// What the desktop adds to the main window: the tray icon, Alt+Q, the update check and
// the reference, about and contact windows, wired to their menu items.

#include "shell/Workspace.h"

#include <QObject>
#include <QPointer>

class GlobalHotKey;
class QAction;
class ReferenceWindow;
class TrayIcon;
class TrayRequests;

class DesktopServices : public QObject {
    Q_OBJECT
public:
    // Runs the start-up steps of the tray icon (with the window's tray menu) and the hot
    // key; owned by the window. versionText follows the program's name in the tip.
    DesktopServices(const Workspace& workspace, QMenu* trayMenu, const QString& versionText);
    ~DesktopServices() override;

    TrayIcon& tray() const { return *m_tray; }
    TrayRequests& trayRequests() const { return *m_trayRequests; }
    GlobalHotKey& hotKey() const { return *m_hotKey; }
    ReferenceWindow* referenceWindow() const;

    // Alt+Q: a minimised (or hidden) window comes back, a normal one is minimised, a
    // maximised or full-screen one is left alone.
    void ToggleMainWindow();
    // "退出程序": the window closes and the program ends through its one teardown.
    void quitProgram();

    void showAbout();
    void showContact();
    void showReference();
    void checkForUpdate();

private:
    void showWindow();

    Workspace m_work;
    TrayIcon* m_tray = nullptr;
    TrayRequests* m_trayRequests = nullptr; // "eMenu"
    GlobalHotKey* m_hotKey = nullptr;
    QPointer<ReferenceWindow> m_reference;
    bool m_checking = false;
};
