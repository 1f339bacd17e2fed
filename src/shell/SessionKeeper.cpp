#include "shell/SessionKeeper.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/RecoveryStore.h"
#include "shell/BrowserCommands.h"
#include "shell/OutputLog.h"
#include "shell/ReadSaveCommands.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

#include <fcntl.h>
#include <unistd.h>

namespace {
const QByteArray kTextsTag("VEXOJS-SESSION-1");
const QString kKeep = QStringLiteral("keep");
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

// Entry 0 is the tag; then per editor its text, its source and its changed mark.
QList<QByteArray> encodeEditors(const EditorTabs& tabs) {
    QList<QByteArray> entries{kTextsTag};
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        entries << tabs.editor(i)->GetText() << tabs.source(i).toUtf8()
                << QByteArray(tabs.isModified(i) ? "1" : "0");
    return entries;
}

bool validEditors(const QList<QByteArray>& entries) {
    return entries.size() == 1 + 3 * EditorTabs::kEditorCount && entries[0] == kTextsTag;
}
} // namespace

SessionKeeper::SessionKeeper(const Workspace& workspace, const SessionControls& controls,
                             QString directory)
    : QObject(&workspace.window), m_work(workspace), m_controls(controls),
      m_directory(QDir::cleanPath(std::move(directory))) {
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        m_startTexts << m_work.tabs.editor(i)->GetText();
    m_keepAction =
        m_work.menu(QStringLiteral("菜单_文件"))->addAction(QStringLiteral("关闭时保留工作内容"));
    m_keepAction->setObjectName(QStringLiteral("菜单_保留工作内容"));
    m_keepAction->setCheckable(true);
    m_keepAction->setToolTip(
        QStringLiteral("关闭时保存六个编辑框的代码、地址列表和窗口位置，下次启动时恢复"));
    m_keepAction->setChecked(openSettings()->value(kKeep, true).toBool());
}

SessionKeeper::~SessionKeeper() = default;

QString SessionKeeper::textsPath() const {
    return m_directory + QStringLiteral("/session.dat");
}

QString SessionKeeper::settingsPath() const {
    return m_directory + QStringLiteral("/settings.ini");
}

bool SessionKeeper::enabled() const {
    return m_keepAction->isChecked();
}

std::unique_ptr<QSettings> SessionKeeper::openSettings() const {
    return std::make_unique<QSettings>(settingsPath(), QSettings::IniFormat);
}

void SessionKeeper::restore() {
    if (!enabled())
        return;
    const std::unique_ptr<QSettings> settings = openSettings();
    // restoreGeometry refuses data it cannot read; the start-up geometry stays then.
    m_work.window.restoreGeometry(settings->value(QStringLiteral("window/geometry")).toByteArray());
    const QStringList addresses = settings->value(QStringLiteral("address/list")).toStringList();
    if (!addresses.isEmpty()) {
        QComboBox* box = m_controls.addressBox;
        box->clear();
        box->addItems(addresses);
        box->setEditText(settings->value(QStringLiteral("address/current")).toString());
    }
    m_controls.utf8DecodeBox->setChecked(
        settings->value(QStringLiteral("options/utf8Decode"), false).toBool());
    BrowserCommands& browser = m_controls.browser;
    m_controls.browserBox->setChecked(
        settings->value(QStringLiteral("options/browser"), false).toBool());
    browser.monitorAction()->setChecked(
        settings->value(QStringLiteral("options/envMonitor"), false).toBool());
    browser.setPageUrl(settings->value(QStringLiteral("browser/pageUrl")).toString());
    browser.setUserAgent(settings->value(QStringLiteral("browser/userAgent")).toString());
    const int mode = settings->value(QStringLiteral("search/mode"), -1).toInt();
    if (mode >= 0 && mode < m_controls.searchModeBox->count())
        m_controls.searchModeBox->setCurrentIndex(mode);
    ReadSaveCommands& files = m_controls.files;
    files.setLastFileName(settings->value(QStringLiteral("files/last")).toString());
    files.setRecent(settings->value(QStringLiteral("files/recent")).toStringList());
    restoreTexts();
}

void SessionKeeper::restoreTexts() {
    QFile file(textsPath());
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        return;
    const std::optional<QList<QByteArray>> entries = Recovery::decode(file.readAll());
    file.close();
    if (!entries || !validEditors(*entries)) {
        // Set aside, not removed: whatever can still be read out of it is the user's.
        const QString aside = textsPath() + QStringLiteral(".damaged");
        QFile::remove(aside);
        QFile::rename(textsPath(), aside);
        m_work.output.message(
            QStringLiteral("上次保留的代码已损坏，无法恢复，已改名为：%1").arg(aside));
        return;
    }
    EditorTabs& tabs = m_work.tabs;
    for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
        tabs.editor(i)->SetText(entries->at(1 + 3 * i));
        tabs.setSource(i, QString::fromUtf8(entries->at(2 + 3 * i)));
        tabs.setModified(i, entries->at(3 + 3 * i) == "1");
    }
    tabs.setCurrentIndex(openSettings()->value(QStringLiteral("window/tab"), 0).toInt());
    m_work.output.message(QStringLiteral("已恢复上次的代码"));
}

bool SessionKeeper::save(QString* error) {
    if (!Recovery::makePrivateFolder(m_directory)) {
        if (error)
            *error = QStringLiteral("无法创建目录 %1").arg(m_directory);
        return false;
    }
    // QSettings replaces its file atomically and keeps the permissions of the old one, so
    // a file created private stays private.
    if (!QFileInfo::exists(settingsPath())) {
        const int fd = ::open(QFile::encodeName(settingsPath()).constData(),
                              O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd >= 0)
            ::close(fd);
    }
    const std::unique_ptr<QSettings> settings = openSettings();
    const bool keep = enabled();
    settings->clear();
    settings->setValue(kKeep, keep);
    if (keep) {
        settings->setValue(QStringLiteral("window/geometry"), m_work.window.saveGeometry());
        settings->setValue(QStringLiteral("window/tab"), m_work.tabs.currentIndex());
        QStringList addresses;
        QComboBox* box = m_controls.addressBox;
        for (int i = 0; i < box->count(); ++i)
            addresses << box->itemText(i);
        settings->setValue(QStringLiteral("address/list"), addresses);
        settings->setValue(QStringLiteral("address/current"), box->currentText());
        settings->setValue(QStringLiteral("options/utf8Decode"),
                           m_controls.utf8DecodeBox->isChecked());
        settings->setValue(QStringLiteral("search/mode"), m_controls.searchModeBox->currentIndex());
        BrowserCommands& browser = m_controls.browser;
        settings->setValue(QStringLiteral("options/browser"), m_controls.browserBox->isChecked());
        settings->setValue(QStringLiteral("options/envMonitor"),
                           browser.monitorAction()->isChecked());
        settings->setValue(QStringLiteral("browser/pageUrl"), browser.pageUrl());
        settings->setValue(QStringLiteral("browser/userAgent"), browser.userAgent());
        ReadSaveCommands& files = m_controls.files;
        settings->setValue(QStringLiteral("files/last"), files.lastFileName());
        settings->setValue(QStringLiteral("files/recent"), files.recent());
    }
    settings->sync();
    QFile::setPermissions(settingsPath(), kPrivateFile);

    const QList<QByteArray> entries = encodeEditors(m_work.tabs);
    bool untouched = true;
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        untouched =
            untouched && entries[1 + 3 * i] == m_startTexts[i] && entries[2 + 3 * i].isEmpty();
    if (!keep || untouched) {
        // Nothing worth keeping: the next start is a first start.
        QFile::remove(textsPath());
        return true;
    }
    RecoveryFiles files;
    return Recovery::writeAtomically(files, textsPath(), Recovery::encode(entries), error);
}
