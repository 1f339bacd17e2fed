#pragma once
// "打开", "导出" and "读取JS": scripts between files or web addresses and the current
// editor. Failures keep the editor's text and say why.

#include <QObject>
#include <QString>

class HttpFetch;
class MainWindow;

class ReadSaveCommands : public QObject {
    Q_OBJECT
public:
    // The shared file dialog's filter (the first pattern really reads "*txt") and suffix.
    static const QString kFileFilter;
    static const QString kDefaultSuffix;

    explicit ReadSaveCommands(MainWindow& window);

    void OpenScriptFile();
    void ExportScript();
    void ReadScript();
    // Appends the address to the list of 组合框_addr unless an item has exactly its text.
    void RememberAddress(const QString& address);

    // The reader "读取JS" uses; tests shorten its limits.
    HttpFetch& reader() const { return *m_reader; }
    // Offered as the chosen file by the next open or save dialog.
    QString lastFileName() const { return m_lastFileName; }

private:
    MainWindow& m_window;
    HttpFetch* m_reader;
    QString m_lastFileName;
};
