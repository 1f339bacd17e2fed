#include "shell/BrowserCommands.h"

#include "browser/AccessRecordWindow.h"
#include "browser/BrowserEnvironment.h"
#include "browser/EnvironmentCodeDialog.h"
#include "editor/EditorTabs.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/OutputLog.h"

#include <QAction>
#include <QCheckBox>
#include <QMenu>

BrowserCommands::BrowserCommands(const Workspace& workspace, QCheckBox* box,
                                 const QString& directory)
    : QObject(&workspace.window), m_work(workspace), m_box(box), m_code(directory) {
    QMenu* tools = m_work.menu(QStringLiteral("菜单_工具"));
    m_monitor = Workspace::addNamedAction(tools, QStringLiteral("环境监控"));
    m_monitor->setCheckable(true);
    m_monitor->setToolTip(
        QStringLiteral("浏览器环境下记录脚本对环境的每次读取、写入、调用和缺失的名字"));
    m_recordAction = Workspace::addNamedAction(tools, QStringLiteral("环境记录"));
    m_editAction = Workspace::addNamedAction(tools, QStringLiteral("编辑环境代码…"));
    connect(m_recordAction, &QAction::triggered, this, &BrowserCommands::showRecord);
    connect(m_editAction, &QAction::triggered, this, &BrowserCommands::editEnvironmentCode);
    m_box->setEnabled(true);
}

BrowserCommands::~BrowserCommands() = default;

BrowserOptions BrowserCommands::options() const {
    BrowserOptions options;
    options.enabled = m_box->isChecked();
    options.monitor = m_monitor->isChecked();
    options.userAgent = m_userAgent;
    options.pageUrl = m_pageUrl;
    if (options.pageUrl.isEmpty()) {
        // The address the current editor's script was read from ("读取JS").
        const QString source = m_work.tabs.source(m_work.tabs.currentIndex());
        if (source.startsWith(QLatin1String("http://")) ||
            source.startsWith(QLatin1String("https://")))
            options.pageUrl = source;
    }
    if (options.enabled)
        options.environmentCode = m_code.load();
    return options;
}

void BrowserCommands::prepareLoad() {
    const BrowserOptions o = options();
    m_work.globals.mainHost().setEnvironment(browserEnvironment(o, m_record));
}

void BrowserCommands::showRecord() {
    if (!m_recordWindow) {
        m_recordWindow = std::make_unique<AccessRecordWindow>(m_record);
        m_recordWindow->setAddStubs([this](const QStringList& stubs) { addStubs(stubs); });
    }
    m_recordWindow->show();
    m_recordWindow->raise();
    m_recordWindow->activateWindow();
}

void BrowserCommands::addStubs(const QStringList& stubs) {
    QString error;
    const QString code = m_code.load(&error);
    if (!error.isEmpty() || !m_code.save(withStubs(code, stubs), &error)) {
        m_work.output.message(QStringLiteral("环境代码保存失败：") + error);
        return;
    }
    m_work.output.message(QStringLiteral("已写入环境代码：%1项").arg(stubs.size()));
}

void BrowserCommands::editEnvironmentCode() {
    EnvironmentCodeDialog dialog(&m_work.window);
    QString error;
    const QString code = m_code.load(&error);
    if (!error.isEmpty()) {
        m_work.output.message(QStringLiteral("无法读取环境代码：") + error);
        return; // a file that cannot be read is never replaced by an empty one
    }
    dialog.setValues(code, m_pageUrl, m_userAgent);
    m_work.dialogs.runModal(dialog);
    if (dialog.result() != QDialog::Accepted)
        return;
    m_pageUrl = dialog.pageUrl();
    m_userAgent = dialog.userAgent();
    if (!m_code.save(dialog.code(), &error))
        m_work.output.message(QStringLiteral("环境代码保存失败：") + error);
}
