#include "desktop/TrayIcon.h"

#include "script/GlobalObjects.h"

#include <QCursor>
#include <QEvent>
#include <QMenu>
#include <QTimer>
#include <QWidget>

TrayIcon::TrayIcon(QWidget& window, TrayState& state)
    : QObject(&window), m_window(window), m_state(state) {
    m_trayWatch.setInterval(1000);
    connect(&m_trayWatch, &QTimer::timeout, this, &TrayIcon::watchTray);
}

bool TrayIcon::canHideToTray() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayIcon::InstallTrayIcon(const TrayIconOptions& options) {
    m_state.window = &m_window;
    m_state.leftClickMenu = options.leftClickMenu;
    m_state.rightClickMenu = options.rightClickMenu;
    m_leftClickMenu = options.leftClickMenu;
    m_doubleClickAction = options.doubleClickAction;

    m_icon = new QSystemTrayIcon(m_window.windowIcon(), this);
    m_icon->setToolTip(options.tip);
    if (options.rightClickMenu)
        m_icon->setContextMenu(options.rightClickMenu);
    connect(m_icon, &QSystemTrayIcon::activated, this, &TrayIcon::onActivated);
    m_icon->show();
    if (options.balloon && canHideToTray())
        showBalloon(options.balloonTitle, options.balloonText, 20);
    m_window.installEventFilter(this);
    m_installed = true; // whatever the desktop made of it
}

void TrayIcon::restoreIcon() {
    if (!m_icon)
        return;
    // Hiding and showing again makes the icon register anew with whatever tray is there.
    m_icon->hide();
    m_icon->show();
}

void TrayIcon::showBalloon(const QString& title, const QString& text, int triesLeft) {
    // The balloon points at the icon, so it waits (a little) until the tray has placed it.
    // Until then the icon's window stands unplaced at the screen's corner.
    const QRect at = m_icon->geometry();
    if ((at.isEmpty() || at.topLeft() == QPoint(0, 0)) && triesLeft > 0) {
        QTimer::singleShot(100, this, [=, this] { showBalloon(title, text, triesLeft - 1); });
        return;
    }
    m_icon->showMessage(title, text, QSystemTrayIcon::Information);
}

void TrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason) {
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        if (m_leftClickMenu)
            m_leftClickMenu->popup(QCursor::pos() - QPoint(5, 5));
        break;
    case QSystemTrayIcon::DoubleClick:
        if (m_doubleClickAction)
            m_doubleClickAction();
        break;
    default:
        break; // the right-click menu is the icon's context menu
    }
}

bool TrayIcon::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::WindowStateChange &&
        m_window.isMinimized() && canHideToTray()) {
        // Hidden once the state change has gone through; only the icon remains.
        QTimer::singleShot(0, &m_window, [this] {
            if (m_window.isMinimized()) {
                m_window.hide();
                m_trayWatch.start();
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

void TrayIcon::watchTray() {
    if (!m_window.isHidden()) {
        m_trayWatch.stop();
    } else if (!canHideToTray()) {
        // The tray host went away and took the way back with it (the desktop says nothing
        // when that happens): the window waits on the taskbar instead, minimised.
        m_trayWatch.stop();
        m_window.showMinimized();
    }
}
