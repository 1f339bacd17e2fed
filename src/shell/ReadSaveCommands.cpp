#include "shell/ReadSaveCommands.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/HttpFetch.h"
#include "editor/ScriptEncoding.h"
#include "editor/ScriptFile.h"
#include "shell/Dialogs.h"
#include "shell/DownloadBusyBox.h"
#include "shell/MainWindow.h"
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

ReadSaveCommands::ReadSaveCommands(MainWindow& window)
    : QObject(&window), m_window(window), m_reader(new HttpFetch(this)) {
    connect(window.openAction(), &QAction::triggered, this, &ReadSaveCommands::OpenScriptFile);
    connect(window.saveAction(), &QAction::triggered, this, &ReadSaveCommands::ExportScript);
    connect(window.readScriptButton(), &QPushButton::clicked, this, &ReadSaveCommands::ReadScript);
    // Only addresses that were read join the list, not whatever is typed and confirmed.
    window.addressBox()->setInsertPolicy(QComboBox::NoInsert);
    window.openAction()->setEnabled(true);
    window.saveAction()->setEnabled(true);
    window.readScriptButton()->setEnabled(true);
    window.utf8DecodeBox()->setEnabled(true);

    m_recentMenu = new QMenu(QStringLiteral("最近打开"), window.fileMenu());
    m_recentMenu->setObjectName(QStringLiteral("菜单_最近打开"));
    window.fileMenu()
        ->insertMenu(window.saveAction(), m_recentMenu)
        ->setText(QStringLiteral("最近打开"));
    connect(m_recentMenu, &QMenu::aboutToShow, this, &ReadSaveCommands::fillRecentMenu);
    for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
        CodeEditor* editor = window.tabs().editor(i);
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
            CodeEditor* editor = m_window.CurrentEditor();
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
    const int index = m_window.tabs().indexOf(editor);
    if (!m_window.tabs().isModified(index) || editor->Length() == 0)
        return true;
    return m_window.dialogs().yesNo(
               &m_window, QStringLiteral("此编辑框中的代码已修改且未保存，是否仍然打开？"),
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
    m_window.tabs().setCurrentIndex(m_window.tabs().indexOf(editor));
    m_window.addressBox()->setEditText(address);
    ReadScript();
}

void ReadSaveCommands::OpenScriptFile() {
    CodeEditor* editor = m_window.CurrentEditor();
    const QString path = m_window.dialogs().openFileName(&m_window, kFileFilter, m_lastFileName);
    if (path.isEmpty())
        return;
    openScriptFile(editor, path);
}

bool ReadSaveCommands::openScriptFile(CodeEditor* editor, const QString& path) {
    m_lastFileName = path;
    const FileRead read = readScriptFile(path);
    if (!read.ok) {
        m_window.dialogs().message(&m_window, QStringLiteral("无法读取文件：") + read.error);
        return false;
    }
    // Asked once the file is known to be readable: a failure replaces nothing anyway.
    if (!mayReplace(editor))
        return false;
    editor->SetText(decodeScript(read.bytes).utf8);
    m_window.tabs().setSource(m_window.tabs().indexOf(editor), path);
    addRecent(path);
    return true;
}

void ReadSaveCommands::ExportScript() {
    CodeEditor* editor = m_window.CurrentEditor();
    const QString path =
        m_window.dialogs().saveFileName(&m_window, kFileFilter, kDefaultSuffix, m_lastFileName);
    if (path.isEmpty())
        return;
    m_lastFileName = path;
    const QString error = writeScriptFile(path, editor->GetText());
    if (error.isEmpty())
        m_window.tabs().setSource(m_window.tabs().indexOf(editor), path);
    m_window.dialogs().message(&m_window, error.isEmpty() ? QStringLiteral("保存成功")
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
    CodeEditor* editor = m_window.CurrentEditor();
    const bool forceUtf8 = m_window.utf8DecodeBox()->isChecked();
    const QString address = withScheme(m_window.addressBox()->currentText());
    if (address != m_window.addressBox()->currentText())
        m_window.addressBox()->setEditText(address);

    const FetchResult result = DownloadBusyBox(&m_window).run(*m_reader, address);
    QString failure = result.error;
    if (result.ok && result.body.isEmpty())
        failure = QStringLiteral("内容为空");
    if (!failure.isEmpty()) {
        m_window.outputLog().message(QStringLiteral("代码读取失败：") + failure);
        return;
    }
    editor->SetText(forceUtf8 ? Utf8Decode(result.body).toUtf8()
                              : decodeScript(result.body, result.charset).utf8);
    m_window.outputLog().message(QStringLiteral("代码读取成功"));
    m_window.tabs().setSource(m_window.tabs().indexOf(editor), address);
    RememberAddress(address);
    addRecent(address);
}

void ReadSaveCommands::RememberAddress(const QString& address) {
    QComboBox* box = m_window.addressBox();
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
