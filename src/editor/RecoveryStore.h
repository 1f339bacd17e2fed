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

class RecoveryFiles;

namespace Recovery {
// The bytes of a copy: a header, every text with its length, and a checksum, so a copy
// cut short by a crash in the middle of a write is recognised and never restored.
QByteArray encode(const QList<QByteArray>& texts);
std::optional<QList<QByteArray>> decode(const QByteArray& bytes);

// Writes `bytes` to `path` through a temporary file beside it: every write and the flush
// checked, renamed over the old file only when whole. On failure the old file stays as it
// was, the temporary file goes and the reason goes to *error (one line).
bool writeAtomically(RecoveryFiles& files, const QString& path, const QByteArray& bytes,
                     QString* error = nullptr);

// Creates the folder if needed and makes it readable by its owner only.
bool makePrivateFolder(const QString& directory);

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

// The file operations a save goes through: POSIX calls here; a test puts in one that
// fails part-way, as a full disk or a failing device does.
class RecoveryFiles {
public:
    virtual ~RecoveryFiles() = default;
    // `path` opened for writing, created or emptied, readable and writable by its owner
    // only whatever the umask; -1 with errno set on failure.
    virtual int create(const QString& path);
    // As write(2): the number of bytes written (possibly fewer than asked), or -1 with
    // errno set.
    virtual qint64 write(int fd, const char* data, qint64 size);
    // As fsync(2), close(2) and rename(2): false with errno set on failure.
    virtual bool sync(int fd);
    virtual bool close(int fd);
    virtual bool rename(const QString& from, const QString& to);
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

    // Creates the folder (readable by its owner only) and takes this run's lock.
    // Idempotent; on failure the reason goes to *error and a later call tries again.
    bool open(QString* error = nullptr);
    // Writes the copy to a temporary file, checks every write and the flush to disk, and
    // only then renames it over the old copy. On any failure the old copy stays as it
    // was, the temporary file goes and the reason goes to *error (one line).
    bool save(const QList<QByteArray>& texts, QString* error = nullptr);
    // The file operations saves go through (the POSIX ones unless set).
    void setFiles(std::unique_ptr<RecoveryFiles> files);
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
    std::unique_ptr<RecoveryFiles> m_files;
};
