#pragma once
// The tab set with the six editors, one per page; only the selected one is visible.

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

    // The page-changed handler: shows editor `page` alone; other values change nothing.
    void ShowEditor(int page);

private:
    std::array<CodeEditor*, kEditorCount> m_editors{};
};
