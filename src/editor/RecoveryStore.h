#pragma once
// Recovery copies of the editors' texts on disk, so that a crash or a killed session
// loses nothing that was typed. Every running workbench keeps one copy, named by a
// session id and guarded by a lock file; a copy whose lock no live process holds was
// left behind by a run that did not end normally. Core only: no widgets.

#include <QByteArray>
#include <QList>
#include <QLockFile>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace Recovery {
// The bytes of a copy: a header, every text with its length, and a checksum, so a copy
// cut short by a crash in the middle of a write is recognised and never restored.
QByteArray encode(const QList<QByteArray>& texts);
std::optional<QList<QByteArray>> decode(const QByteArray& bytes);

// $XDG_STATE_HOME/vexojs, or ~/.local/state/vexojs when that is unset or not absolute.
QString defaultDirectory();
} // namespace Recovery

// A copy left behind by an earlier run, claimed by this one (its lock is held until this
// object goes, so a second workbench started meanwhile does not offer it too).
class LeftoverCopy {
public:
    LeftoverCopy(QString path, std::unique_ptr<QLockFile> lock, QList<QByteArray> texts);
    ~LeftoverCopy();
    LeftoverCopy(const LeftoverCopy&) = delete;
    LeftoverCopy& operator=(const LeftoverCopy&) = delete;

    const QList<QByteArray>& texts() const { return m_texts; }
    QString path() const { return m_path; }
    // Deletes the copy from disk (restored elsewhere, or declined).
    bool remove();

private:
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QList<QByteArray> m_texts;
};

class RecoveryStore {
public:
    explicit RecoveryStore(QString directory);
    // Releases this run's lock; the copy itself stays unless discard() ran.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    QString directory() const { return m_directory; }
    // This run's copy (exists only after a successful save).
    QString copyPath() const;

    // Creates the folder and takes this run's lock. Idempotent; on failure the reason
    // goes to *error and a later call tries again.
    bool open(QString* error = nullptr);
    // Writes the copy in one step (a temporary file renamed over the old copy).
    bool save(const QList<QByteArray>& texts, QString* error = nullptr);
    // Removes this run's copy (a normal exit, or nothing left worth keeping).
    void discard();

    // The newest copy whose run is no longer alive, claimed; nullptr when none. A copy
    // that cannot be read back whole is renamed aside (*.damaged) and reported in
    // *damaged, so it is neither offered nor reported again, nor lost.
    // Lock files of dead runs that never saved a copy are removed on the way.
    std::unique_ptr<LeftoverCopy> claimLeftover(QStringList* damaged = nullptr);

private:
    void sweepOrphanLocks() const;

    QString m_directory;
    QString m_sessionId;
    std::unique_ptr<QLockFile> m_lock;
};
