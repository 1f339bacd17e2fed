#pragma once
// The workbench's icon in the desktop's tray: tip, welcome balloon, menus, double-click,
// and minimise-to-tray for the window it belongs to.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>

class QMenu;
class QWidget;
struct TrayState;

struct TrayIconOptions {
    QMenu* leftClickMenu = nullptr;
    QMenu* rightClickMenu = nullptr;
    QString tip;
    bool balloon = false;
    QString balloonText;
    QString balloonTitle;
    std::function<void()> doubleClickAction;
};

class TrayIcon : public QObject {
    Q_OBJECT
public:
    // Owned by the window; the icon goes away with it.
    TrayIcon(QWidget& window, TrayState& state);

    void InstallTrayIcon(const TrayIconOptions& options);
    // Registers the icon with the tray again (the "eMenu" request).
    void restoreIcon();
    QSystemTrayIcon* icon() const { return m_icon; }
    bool isInstalled() const { return m_installed; }

    // A minimised window goes to the tray only when there is a tray to bring it back
    // from; without one it stays minimised on the taskbar.
    static bool canHideToTray();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void showBalloon(const QString& title, const QString& text, int triesLeft);
    void watchTray();

    QWidget& m_window;
    TrayState& m_state;
    QSystemTrayIcon* m_icon = nullptr;
    QPointer<QMenu> m_leftClickMenu;
    std::function<void()> m_doubleClickAction;
    bool m_installed = false;
    // While the window is in the tray, whether the tray is still there.
    QTimer m_trayWatch;
};
