#pragma once
// "浏览器环境", "环境监控", "工具(&T) → 环境记录" and "工具(&T) → 编辑环境代码…", wired
// to the main window: before each load the main engine gets the browser environment when
// the box is ticked, with the page address (the one set, else the address the current
// editor's script was read from) and the user's environment code.

#include "browser/AccessRecord.h"
#include "browser/BrowserOptions.h"
#include "browser/EnvironmentCode.h"
#include "shell/Workspace.h"

#include <QObject>

#include <memory>

class AccessRecordWindow;
class QAction;
class QCheckBox;

class BrowserCommands : public QObject {
    Q_OBJECT
public:
    // box: "浏览器环境"; directory: the settings folder, where the environment code is kept.
    BrowserCommands(const Workspace& workspace, QCheckBox* box, const QString& directory);
    ~BrowserCommands() override;

    // Gives the main engine the environment for the next load (none with the box clear).
    void prepareLoad();
    // The options the next load would use.
    BrowserOptions options() const;

    QAction* monitorAction() const { return m_monitor; }
    QAction* recordAction() const { return m_recordAction; }
    QAction* editAction() const { return m_editAction; }
    const std::shared_ptr<AccessRecord>& record() const { return m_record; }
    AccessRecordWindow* recordWindow() const { return m_recordWindow.get(); }
    EnvironmentCode& environmentCode() { return m_code; }

    // Kept in settings.ini with the other options.
    QString pageUrl() const { return m_pageUrl; }
    void setPageUrl(const QString& url) { m_pageUrl = url; }
    QString userAgent() const { return m_userAgent; }
    void setUserAgent(const QString& ua) { m_userAgent = ua; }

    void showRecord();
    void editEnvironmentCode();
    // Adds stubs to the environment code and says so in the pane.
    void addStubs(const QStringList& stubs);

private:
    Workspace m_work;
    QCheckBox* m_box;
    EnvironmentCode m_code;
    std::shared_ptr<AccessRecord> m_record = std::make_shared<AccessRecord>();
    std::unique_ptr<AccessRecordWindow> m_recordWindow;
    QAction* m_monitor = nullptr;
    QAction* m_recordAction = nullptr;
    QAction* m_editAction = nullptr;
    QString m_pageUrl;
    QString m_userAgent;
};
