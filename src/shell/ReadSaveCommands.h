#pragma once
// "打开", "导出" and "读取JS": scripts between files or web addresses and the current
// editor. Failures keep the editor's text and say why.

#include "shell/Workspace.h"

#include <QObject>
#include <QString>
#include <QStringList>

class CodeEditor;
class HttpFetch;
class QAction;
class QCheckBox;
class QComboBox;
class QMenu;
class QPushButton;
class QUrl;

struct ReadSaveControls {
    QMenu* fileMenu;
    QAction* open;
    QAction* save;
    QPushButton* read;  // "读取JS"
    QComboBox* address; // 组合框_addr
    QCheckBox* utf8;    // "UTF-8解码"
};

class ReadSaveCommands : public QObject {
    Q_OBJECT
public:
    // The shared file dialog's filter (the first pattern really reads "*txt") and suffix.
    static const QString kFileFilter;
    static const QString kDefaultSuffix;

    ReadSaveCommands(const Workspace& workspace, const ReadSaveControls& controls);

    void OpenScriptFile();
    // Reads `path` into `editor` with the decoding of "打开"; a failure says why in a box
    // and keeps the editor's text. False when nothing was opened.
    bool openScriptFile(CodeEditor* editor, const QString& path);
    void ExportScript();
    void ReadScript();
    // Appends the address to the list of 组合框_addr unless an item has exactly its text.
    void RememberAddress(const QString& address);

    // The reader "读取JS" uses; tests shorten its limits.
    HttpFetch& reader() const { return *m_reader; }
    // Offered as the chosen file by the next open or save dialog.
    QString lastFileName() const { return m_lastFileName; }
    void setLastFileName(const QString& name) { m_lastFileName = name; }
    // The files and addresses last read, newest first, at most kRecentCount.
    static constexpr int kRecentCount = 10;
    QStringList recent() const { return m_recent; }
    void setRecent(const QStringList& recent);
    void addRecent(const QString& entry);
    // A file or an address dropped on `editor`: opened into it as "打开" or "读取JS" do.
    void openDropped(CodeEditor* editor, const QUrl& url);
    // Reads `address` into `editor` as "读取JS" does.
    void readAddressInto(CodeEditor* editor, const QString& address);
    // Asked before a file replaces changes not saved; true to go on.
    bool mayReplace(CodeEditor* editor);

private:
    Workspace m_work;
    ReadSaveControls m_controls;
    HttpFetch* m_reader;
    QString m_lastFileName;
    QStringList m_recent;
    QMenu* m_recentMenu = nullptr;
    void fillRecentMenu();
};
