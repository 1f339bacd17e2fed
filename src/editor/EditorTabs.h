#pragma once
// The tab set with the six editors, one per page; only the selected one is visible.
// A page is named after the file (or web address) its text came from or was saved to,
// with "*" while it has changed since; "New<n>" otherwise.

#include <QTabWidget>

#include <array>

class CodeEditor;

class EditorTabs : public QTabWidget {
    Q_OBJECT
public:
    static constexpr int kEditorCount = 6;

    explicit EditorTabs(QWidget* parent = nullptr);

    CodeEditor* editor(int index) const;
    // 1 to 5 select their editor; 0 and every other value select editor 0.
    CodeEditor* editorForPage(int page) const;
    // The page of `editor`, -1 for none of the six.
    int indexOf(const CodeEditor* editor) const;

    // The page-changed handler: shows editor `page` alone; other values change nothing.
    void ShowEditor(int page);

    // The file path or web address editor `index` holds the text of; empty for none.
    QString source(int index) const;
    // Sets the source and counts the text as saved (no "*").
    void setSource(int index, const QString& source);
    // Changed since it was opened, saved or started with.
    bool isModified(int index) const;
    void setModified(int index, bool modified);
    // The page name as shown.
    QString label(int index) const;

signals:
    // A page's name or mark changed.
    void labelsChanged();

private:
    void updateLabel(int index);

    std::array<CodeEditor*, kEditorCount> m_editors{};
    std::array<QString, kEditorCount> m_sources;
    std::array<bool, kEditorCount> m_keptModified{};
};
