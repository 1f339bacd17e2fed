#pragma once
// Keeps a recovery copy of the six editors while the workbench runs, removes it at a
// normal exit, and after an abnormal end offers to put the texts back.

#include "editor/RecoveryStore.h"
#include "shell/Workspace.h"

#include <QObject>
#include <QTimer>

class EditorRecovery : public QObject {
    Q_OBJECT
public:
    // Edits are written at most once per interval.
    static constexpr int kDefaultIntervalMs = 3000;

    EditorRecovery(const Workspace& workspace, const QString& directory,
                   int intervalMs = kDefaultIntervalMs);
    ~EditorRecovery() override;

    // Once the window shows its start-up state: claims this run's copy, offers a copy
    // left behind by a run that ended abnormally, then follows every edit.
    void start();
    // A normal exit: this run's copy goes, unless it is the only place left holding the
    // texts (keeping them for the next run failed); it is brought up to date then, and
    // the next start offers it as it offers a crash's.
    void finish(bool keepCopy = false);
    // Writes the copy now if the texts changed since the last write.
    bool saveNow();

    RecoveryStore& store() { return m_store; }

private:
    QList<QByteArray> snapshot() const;
    void offerLeftover();
    void onEdited();
    // One pane line per run of failures, however many saves fail in a row.
    void reportOnce(const QString& reason);

    Workspace m_work;
    RecoveryStore m_store;
    QTimer m_timer;
    // The texts right after start-up; a run whose texts are back to these needs no copy.
    QList<QByteArray> m_startTexts;
    QList<QByteArray> m_written;
    bool m_started = false;
    bool m_reported = false;
};
