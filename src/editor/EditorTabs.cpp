#include "editor/EditorTabs.h"

#include "editor/CodeEditor.h"

#include <QVBoxLayout>

EditorTabs::EditorTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("高级选择夹1"));
    setFont(QFont(QStringLiteral("SimSun"), 9));
    for (int i = 0; i < kEditorCount; ++i) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        m_editors[size_t(i)] = new CodeEditor(i, page);
        m_editors[size_t(i)]->setFont(QFont());
        layout->addWidget(m_editors[size_t(i)]);
        addTab(page, QStringLiteral("New%1  ").arg(i));
    }
    connect(this, &QTabWidget::currentChanged, this, &EditorTabs::ShowEditor);
}

CodeEditor* EditorTabs::editor(int index) const {
    return index >= 0 && index < kEditorCount ? m_editors[size_t(index)] : nullptr;
}

CodeEditor* EditorTabs::editorForPage(int page) const {
    return page >= 1 && page < kEditorCount ? m_editors[size_t(page)] : m_editors[0];
}

void EditorTabs::ShowEditor(int page) {
    if (page < 0 || page >= kEditorCount)
        return;
    for (int i = 0; i < kEditorCount; ++i)
        m_editors[size_t(i)]->setVisible(i == page);
}
