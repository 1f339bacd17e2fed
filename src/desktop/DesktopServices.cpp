#include "desktop/DesktopServices.h"

#include "desktop/AboutWindow.h"
#include "desktop/GlobalHotKey.h"
#include "desktop/ReferenceWindow.h"
#include "desktop/TrayIcon.h"
#include "desktop/TrayRequests.h"
#include "desktop/UpdateCheck.h"
#include "desktop/UpdateFetch.h"
#include "desktop/UpdateWindow.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/DownloadBusyBox.h"
#include "shell/Version.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>

DesktopServices::DesktopServices(const Workspace& workspace, QMenu* trayMenu,
                                 const QString& versionText)
    : QObject(&workspace.window), m_work(workspace) {
    QWidget& window = m_work.window;
    // The program's icon on every window: those without one of their own take the
    // application's.
    const QIcon icon(QStringLiteral(":/icons/vexojs.png"));
    QApplication::setWindowIcon(icon);
    window.setWindowIcon(icon);
    const QString title = QStringLiteral("VexoJS调试工具") + versionText;

    m_tray = new TrayIcon(window, m_work.globals.trayState());
    TrayIconOptions options;
    options.rightClickMenu = trayMenu;
    options.tip = title;
    options.balloon = true;
    options.balloonText = title;
    options.balloonTitle = QStringLiteral("欢迎");
    options.doubleClickAction = [this] { showWindow(); };
    m_tray->InstallTrayIcon(options);
    m_trayRequests = new TrayRequests(
        QString::fromLatin1(TrayRequests::kName), [this] { m_tray->restoreIcon(); }, this);

    // Taken by another program, or no X11 here: Alt+Q does nothing, the rest works.
    m_hotKey = new GlobalHotKey(this);
    m_hotKey->RegisterToggleHotKey(GlobalHotKey::Alt, 'Q', [this] { ToggleMainWindow(); });

    if (QAction* quit = m_work.action(QStringLiteral("菜单_退出程序")))
        connect(quit, &QAction::triggered, this, &DesktopServices::quitProgram);
    const struct {
        const char* text;
        void (DesktopServices::*handler)();
    } items[] = {
        {"软件版本", &DesktopServices::showAbout},
        {"联系作者", &DesktopServices::showContact},
        {"检查更新", &DesktopServices::checkForUpdate},
        {"JavaScript速查", &DesktopServices::showReference},
    };
    for (const auto& item : items) {
        if (QAction* a = m_work.action(QStringLiteral("菜单_") + QString::fromUtf8(item.text))) {
            connect(a, &QAction::triggered, this, item.handler);
            a->setEnabled(true);
        }
    }
}

DesktopServices::~DesktopServices() {
    delete m_reference.data(); // a top-level window of its own
}

ReferenceWindow* DesktopServices::referenceWindow() const {
    return m_reference.data();
}

void DesktopServices::showWindow() {
    m_work.window.showNormal();
    m_work.window.raise();
    m_work.window.activateWindow();
}

void DesktopServices::ToggleMainWindow() {
    QWidget& window = m_work.window;
    const Qt::WindowStates state = window.windowState();
    if ((state & Qt::WindowMinimized) || window.isHidden())
        showWindow();
    else if (!(state & (Qt::WindowMaximized | Qt::WindowFullScreen)))
        window.showMinimized(); // the tray then hides it
}

void DesktopServices::quitProgram() {
    m_work.window.close();
    // A window already in the tray closes without being the last visible one.
    QCoreApplication::quit();
}

void DesktopServices::showAbout() {
    AboutWindow about;
    m_work.dialogs.runModal(about);
}

void DesktopServices::showContact() {
    ContactWindow contact;
    m_work.dialogs.runModal(contact);
}

void DesktopServices::showReference() {
    // One reference window: choosing the item again brings it to the front.
    if (!m_reference) {
        m_reference = new ReferenceWindow();
        m_reference->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_reference->show();
    m_reference->raise();
    m_reference->activateWindow();
}

void DesktopServices::checkForUpdate() {
    // The record is read as "读取JS" reads a script: behind the busy box with its "停止"
    // once it takes longer than a moment; the menu can be chosen again meanwhile.
    if (m_checking)
        return;
    m_checking = true;
    UpdateInfo& info = m_work.globals.updateInfo();
    HttpFetch reader;
    limitToUpdateRecord(reader);
    const FetchResult fetched = DownloadBusyBox(&m_work.window).run(reader, updateAddress());
    const UpdateCheckResult result =
        fetched.ok ? ReadUpdateRecord(recordText(fetched.body), kProgramVersion, info)
                   : UpdateCheckResult{UpdateCheckResult::Failed, fetched.error};
    m_checking = false;

    Dialogs& dialogs = m_work.dialogs;
    const QString caption = QStringLiteral("检查更新");
    switch (result.outcome) {
    case UpdateCheckResult::Latest:
        dialogs.message(&m_work.window, QStringLiteral("亲-，-你用的是最新版了哦"), caption);
        break;
    case UpdateCheckResult::Failed:
        dialogs.message(&m_work.window, QStringLiteral("检查更新失败：") + result.reason, caption);
        break;
    case UpdateCheckResult::Newer: {
        UpdateWindow window(info, dialogs);
        dialogs.runModal(window);
        break;
    }
    }
}
