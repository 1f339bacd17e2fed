#include "shell/EditorRecovery.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "shell/Dialogs.h"
#include "shell/OutputLog.h"

#include <QFile>

EditorRecovery::EditorRecovery(const Workspace& workspace, const QString& directory, int intervalMs)
    : m_work(workspace), m_store(directory) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { saveNow(); });
}

EditorRecovery::~EditorRecovery() = default;

QList<QByteArray> EditorRecovery::snapshot() const {
    QList<QByteArray> texts;
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        texts.append(m_work.tabs.editor(i)->GetText());
    return texts;
}

void EditorRecovery::start() {
    if (m_started)
        return;
    m_started = true;
    m_startTexts = snapshot();
    m_written = m_startTexts;
    QString reason;
    if (!m_store.open(&reason))
        reportOnce(reason);
    offerLeftover();
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        connect(m_work.tabs.editor(i), &CodeEditor::SCEN_CHANGE, this, &EditorRecovery::onEdited);
}

void EditorRecovery::offerLeftover() {
    QStringList damaged;
    std::unique_ptr<LeftoverCopy> leftover = m_store.claimLeftover(&damaged);
    for (const QString& path : damaged)
        m_work.output.message(
            QStringLiteral("恢复副本已损坏，无法恢复，已改名为：%1.damaged").arg(path));
    if (!leftover)
        return;
    const Dialogs::Answer answer = m_work.dialogs.yesNo(
        &m_work.window, QStringLiteral("检测到上次未正常退出，是否恢复未保存的代码？"),
        QStringLiteral("信息："));
    if (answer != Dialogs::Answer::Yes) {
        leftover->remove();
        return;
    }
    const QList<QByteArray>& texts = leftover->texts();
    for (int i = 0; i < EditorTabs::kEditorCount && i < texts.size(); ++i)
        m_work.tabs.editor(i)->SetText(texts[i]);
    // The old copy goes only once this run's copy holds the restored texts.
    if (saveNow())
        leftover->remove();
}

void EditorRecovery::onEdited() {
    if (!m_timer.isActive())
        m_timer.start();
}

bool EditorRecovery::saveNow() {
    m_timer.stop();
    const QList<QByteArray> texts = snapshot();
    if (texts == m_written)
        return true;
    if (texts == m_startTexts) {
        m_store.discard();
        m_written = texts;
        return true;
    }
    QString reason;
    if (!m_store.save(texts, &reason)) {
        reportOnce(reason);
        return false;
    }
    m_written = texts;
    m_reported = false; // a later failure is news again
    return true;
}

void EditorRecovery::finish(bool keepCopy) {
    m_timer.stop();
    if (!keepCopy) {
        m_store.discard();
        return;
    }
    const QList<QByteArray> texts = snapshot();
    QString reason;
    if (texts != m_written || !QFile::exists(m_store.copyPath()))
        m_store.save(texts, &reason);
}

void EditorRecovery::reportOnce(const QString& reason) {
    if (m_reported)
        return;
    m_reported = true;
    m_work.output.message(QStringLiteral("无法保存恢复副本：%1").arg(reason));
}
