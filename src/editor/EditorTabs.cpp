#include "editor/EditorTabs.h"

#include "editor/CodeEditor.h"

#include <QFileInfo>
#include <QUrl>
#include <QVBoxLayout>

namespace {
QString shortName(const QString& source) {
    const QUrl url(source);
    if (url.isValid() && !url.scheme().isEmpty() && url.scheme().size() > 1) {
        const QString name = url.fileName();
        return name.isEmpty() ? url.host() : name;
    }
    return QFileInfo(source).fileName();
}
} // namespace

EditorTabs::EditorTabs(QWidget* parent) : QTabWidget(parent) {
    setObjectName(QStringLiteral("高级选择夹1"));
    setFont(QFont(QStringLiteral("SimSun"), 9));
    for (int i = 0; i < kEditorCount; ++i) {
        auto* page = new QWidget;
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        CodeEditor* editor = m_editors[size_t(i)] = new CodeEditor(i, page);
        editor->setFont(QFont());
        layout->addWidget(editor);
        addTab(page, QString());
        updateLabel(i);
        connect(editor, &CodeEditor::SCN_SAVEPOINTLEFT, this, [this, i] { updateLabel(i); });
        connect(editor, &CodeEditor::SCN_SAVEPOINTREACHED, this, [this, i] { updateLabel(i); });
    }
    connect(this, &QTabWidget::currentChanged, this, &EditorTabs::ShowEditor);
}

CodeEditor* EditorTabs::editor(int index) const {
    return index >= 0 && index < kEditorCount ? m_editors[size_t(index)] : nullptr;
}

CodeEditor* EditorTabs::editorForPage(int page) const {
    return page >= 1 && page < kEditorCount ? m_editors[size_t(page)] : m_editors[0];
}

int EditorTabs::indexOf(const CodeEditor* editor) const {
    for (int i = 0; i < kEditorCount; ++i)
        if (m_editors[size_t(i)] == editor)
            return i;
    return -1;
}

void EditorTabs::ShowEditor(int page) {
    if (page < 0 || page >= kEditorCount)
        return;
    for (int i = 0; i < kEditorCount; ++i)
        m_editors[size_t(i)]->setVisible(i == page);
}

QString EditorTabs::source(int index) const {
    return index >= 0 && index < kEditorCount ? m_sources[size_t(index)] : QString();
}

void EditorTabs::setSource(int index, const QString& source) {
    if (index < 0 || index >= kEditorCount)
        return;
    m_sources[size_t(index)] = source;
    setModified(index, false);
    updateLabel(index);
}

bool EditorTabs::isModified(int index) const {
    const CodeEditor* e = editor(index);
    return e && (m_keptModified[size_t(index)] ||
                 e->SendScintilla(QsciScintillaBase::SCI_GETMODIFY) != 0);
}

void EditorTabs::setModified(int index, bool modified) {
    CodeEditor* e = editor(index);
    if (!e)
        return;
    // A text put back changed stays changed whatever its undo history says.
    m_keptModified[size_t(index)] = modified;
    if (!modified)
        e->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    updateLabel(index);
}

QString EditorTabs::label(int index) const {
    return tabText(index);
}

void EditorTabs::updateLabel(int index) {
    const QString& source = m_sources[size_t(index)];
    if (source.isEmpty()) {
        setTabText(index, QStringLiteral("New%1  ").arg(index));
        setTabToolTip(index, QString());
    } else {
        setTabText(index,
                   shortName(source) + (isModified(index) ? QStringLiteral("*") : QString()));
        setTabToolTip(index, source);
    }
    emit labelsChanged();
}
