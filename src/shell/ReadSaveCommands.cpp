#include "shell/ReadSaveCommands.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/HttpFetch.h"
#include "editor/ScriptEncoding.h"
#include "editor/ScriptFile.h"
#include "shell/Dialogs.h"
#include "shell/DownloadBusyBox.h"
#include "shell/OutputLog.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QUrl>

const QString ReadSaveCommands::kFileFilter =
    QStringLiteral("文本文件(*txt;*.js;*.html)|*txt;*.js;*.html|所有文件(*.*)|*.*");
const QString ReadSaveCommands::kDefaultSuffix = QStringLiteral(".txt");

ReadSaveCommands::ReadSaveCommands(const Workspace& workspace, const ReadSaveControls& controls)
    : QObject(&workspace.window), m_work(workspace), m_controls(controls),
      m_reader(new HttpFetch(this)) {
    connect(m_controls.open, &QAction::triggered, this, &ReadSaveCommands::OpenScriptFile);
    connect(m_controls.save, &QAction::triggered, this, &ReadSaveCommands::ExportScript);
    connect(m_controls.read, &QPushButton::clicked, this, &ReadSaveCommands::ReadScript);
    // Only addresses that were read join the list, not whatever is typed and confirmed.
    m_controls.address->setInsertPolicy(QComboBox::NoInsert);
    m_controls.open->setEnabled(true);
    m_controls.save->setEnabled(true);
    m_controls.read->setEnabled(true);
    m_controls.utf8->setEnabled(true);

    m_recentMenu = new QMenu(QStringLiteral("最近打开"), m_controls.fileMenu);
    m_recentMenu->setObjectName(QStringLiteral("菜单_最近打开"));
    m_controls.fileMenu->insertMenu(m_controls.save, m_recentMenu)
        ->setText(QStringLiteral("最近打开"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &ReadSaveCommands::fillRecentMenu);
    for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
        CodeEditor* editor = m_work.tabs.editor(i);
        // The editor reports every dropped file or address on its own.
        connect(editor, &CodeEditor::SCN_URIDROPPED, this,
                [this, editor](const QUrl& url) { openDropped(editor, url); });
    }
}

void ReadSaveCommands::fillRecentMenu() {
    m_recentMenu->clear();
    for (const QString& entry : std::as_const(m_recent)) {
        QAction* item = m_recentMenu->addAction(entry);
        item->setObjectName(QStringLiteral("菜单_最近打开_%1").arg(m_recentMenu->actions().size()));
        connect(item, &QAction::triggered, this, [this, entry] {
            CodeEditor* editor = m_work.currentEditor();
            if (QFileInfo(entry).isAbsolute())
                openScriptFile(editor, entry);
            else
                readAddressInto(editor, entry);
        });
    }
    QAction* none = m_recentMenu->addAction(QStringLiteral("（无）"));
    none->setObjectName(QStringLiteral("菜单_最近打开_无"));
    none->setEnabled(false);
    if (!m_recent.isEmpty())
        m_recentMenu->removeAction(m_recentMenu->actions().last());
}

bool ReadSaveCommands::mayReplace(CodeEditor* editor) {
    const int index = m_work.tabs.indexOf(editor);
    if (!m_work.tabs.isModified(index) || editor->Length() == 0)
        return true;
    return m_work.dialogs.yesNo(&m_work.window,
                                QStringLiteral("此编辑框中的代码已修改且未保存，是否仍然打开？"),
                                QStringLiteral("打开")) == Dialogs::Answer::Yes;
}

void ReadSaveCommands::openDropped(CodeEditor* editor, const QUrl& url) {
    if (url.isLocalFile())
        openScriptFile(editor, url.toLocalFile());
    else if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        readAddressInto(editor, url.toString());
}

void ReadSaveCommands::readAddressInto(CodeEditor* editor, const QString& address) {
    if (!mayReplace(editor))
        return;
    m_work.tabs.setCurrentIndex(m_work.tabs.indexOf(editor));
    m_controls.address->setEditText(address);
    ReadScript();
}

void ReadSaveCommands::OpenScriptFile() {
    CodeEditor* editor = m_work.currentEditor();
    const QString path = m_work.dialogs.openFileName(&m_work.window, kFileFilter, m_lastFileName);
    if (path.isEmpty())
        return;
    openScriptFile(editor, path);
}

bool ReadSaveCommands::openScriptFile(CodeEditor* editor, const QString& path) {
    m_lastFileName = path;
    const FileRead read = readScriptFile(path);
    if (!read.ok) {
        m_work.dialogs.message(&m_work.window, QStringLiteral("无法读取文件：") + read.error);
        return false;
    }
    // Asked once the file is known to be readable: a failure replaces nothing anyway.
    if (!mayReplace(editor))
        return false;
    editor->SetText(decodeScript(read.bytes).utf8);
    m_work.tabs.setSource(m_work.tabs.indexOf(editor), path);
    addRecent(path);
    return true;
}

void ReadSaveCommands::ExportScript() {
    CodeEditor* editor = m_work.currentEditor();
    const QString path =
        m_work.dialogs.saveFileName(&m_work.window, kFileFilter, kDefaultSuffix, m_lastFileName);
    if (path.isEmpty())
        return;
    m_lastFileName = path;
    const QString error = writeScriptFile(path, editor->GetText());
    if (error.isEmpty())
        m_work.tabs.setSource(m_work.tabs.indexOf(editor), path);
    m_work.dialogs.message(&m_work.window, error.isEmpty() ? QStringLiteral("保存成功")
                                                           : QStringLiteral("保存失败：") + error);
}

namespace {
// "example.com/a.js" as a browser reads it: an address typed without its scheme is an
// http one. Paths and addresses with a scheme of their own stay as they are (and are
// refused later if they are not http or https).
QString withScheme(const QString& typed) {
    const QString text = typed.trimmed();
    static const QRegularExpression path(QStringLiteral(R"(^([/\\.~]|[A-Za-z]:[/\\]|file:))"));
    if (text.isEmpty() || text.contains(QLatin1String("://")) || path.match(text).hasMatch())
        return typed;
    return QStringLiteral("http://") + text;
}
} // namespace

void ReadSaveCommands::ReadScript() {
    if (m_reader->isRunning())
        return; // one download at a time
    CodeEditor* editor = m_work.currentEditor();
    const bool forceUtf8 = m_controls.utf8->isChecked();
    const QString address = withScheme(m_controls.address->currentText());
    if (address != m_controls.address->currentText())
        m_controls.address->setEditText(address);

    const FetchResult result = DownloadBusyBox(&m_work.window).run(*m_reader, address);
    QString failure = result.error;
    if (result.ok && result.body.isEmpty())
        failure = QStringLiteral("内容为空");
    if (!failure.isEmpty()) {
        m_work.output.message(QStringLiteral("代码读取失败：") + failure);
        return;
    }
    editor->SetText(forceUtf8 ? Utf8Decode(result.body).toUtf8()
                              : decodeScript(result.body, result.charset).utf8);
    m_work.output.message(QStringLiteral("代码读取成功"));
    m_work.tabs.setSource(m_work.tabs.indexOf(editor), address);
    RememberAddress(address);
    addRecent(address);
}

void ReadSaveCommands::RememberAddress(const QString& address) {
    QComboBox* box = m_controls.address;
    for (int i = 0; i < box->count(); ++i)
        if (box->itemText(i) == address)
            return;
    // Adding to an empty list would make the new item current; the box's text stays.
    const QString text = box->currentText();
    box->addItem(address);
    box->setEditText(text);
}

void ReadSaveCommands::addRecent(const QString& entry) {
    m_recent.removeAll(entry);
    m_recent.prepend(entry);
    setRecent(m_recent);
}

void ReadSaveCommands::setRecent(const QStringList& recent) {
    m_recent = recent.mid(0, kRecentCount);
}
