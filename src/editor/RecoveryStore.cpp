#include "editor/RecoveryStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <QtEndian>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kMagic("VEXOJS-RECOVERY\n");
constexpr quint32 kFormat = 1;
constexpr qsizetype kDigestSize = 32; // SHA-256
const QString kPrefix = QStringLiteral("recovery-");
const QString kCopySuffix = QStringLiteral(".dat");
const QString kLockSuffix = QStringLiteral(".lock");
const QString kTemporarySuffix = QStringLiteral(".tmp");
// Unsaved code is private: the folder and every file in it belong to the user alone.
constexpr QFileDevice::Permissions kPrivateFolder =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
constexpr QFileDevice::Permissions kPrivateFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

template <typename T> void put(QByteArray& out, T value) {
    char bytes[sizeof(T)];
    qToBigEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

template <typename T> bool take(const QByteArray& in, qsizetype& at, qsizetype end, T& value) {
    if (end - at < qsizetype(sizeof(T)))
        return false;
    value = qFromBigEndian<T>(in.constData() + at);
    at += sizeof(T);
    return true;
}

std::unique_ptr<QLockFile> lockFor(const QString& directory, const QString& id) {
    auto lock =
        std::make_unique<QLockFile>(directory + QLatin1Char('/') + kPrefix + id + kLockSuffix);
    // Only a dead owner makes a lock stale; a workbench may run for days.
    lock->setStaleLockTime(0);
    return lock;
}

QString oneLine(QString text) {
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

QString systemReason(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘空间不足");
    case EDQUOT:
        return QStringLiteral("超出磁盘配额");
    case EFBIG:
        return QStringLiteral("文件超出允许的大小");
    case EIO:
        return QStringLiteral("磁盘读写错误");
    case EROFS:
        return QStringLiteral("文件系统只读");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}
} // namespace

int RecoveryFiles::create(const QString& path) {
    const int fd = ::open(localPath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    // The umask can only take bits away; fchmod also mends a file left with others.
    if (fd >= 0 && ::fchmod(fd, 0600) != 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

qint64 RecoveryFiles::write(int fd, const char* data, qint64 size) {
    return ::write(fd, data, size_t(size));
}

bool RecoveryFiles::sync(int fd) {
    return ::fsync(fd) == 0;
}

bool RecoveryFiles::close(int fd) {
    return ::close(fd) == 0;
}

bool RecoveryFiles::rename(const QString& from, const QString& to) {
    return std::rename(localPath(from).c_str(), localPath(to).c_str()) == 0;
}

namespace Recovery {
QByteArray encode(const QList<QByteArray>& texts) {
    QByteArray out = kMagic;
    put<quint32>(out, kFormat);
    put<quint32>(out, quint32(texts.size()));
    for (const QByteArray& text : texts) {
        put<quint64>(out, quint64(text.size()));
        out.append(text);
    }
    out.append(QCryptographicHash::hash(out, QCryptographicHash::Sha256));
    return out;
}

std::optional<QList<QByteArray>> decode(const QByteArray& bytes) {
    if (bytes.size() < kMagic.size() + 8 + kDigestSize || !bytes.startsWith(kMagic))
        return std::nullopt;
    const qsizetype end = bytes.size() - kDigestSize;
    const QByteArrayView body(bytes.constData(), end);
    if (QCryptographicHash::hash(body, QCryptographicHash::Sha256) != bytes.mid(end))
        return std::nullopt;
    qsizetype at = kMagic.size();
    quint32 format = 0;
    quint32 count = 0;
    if (!take(bytes, at, end, format) || format != kFormat || !take(bytes, at, end, count))
        return std::nullopt;
    QList<QByteArray> texts;
    for (quint32 i = 0; i < count; ++i) {
        quint64 length = 0;
        if (!take(bytes, at, end, length) || length > quint64(end - at))
            return std::nullopt;
        texts.append(bytes.mid(at, qsizetype(length)));
        at += qsizetype(length);
    }
    if (at != end)
        return std::nullopt;
    return texts;
}

bool writeAtomically(RecoveryFiles& files, const QString& path, const QByteArray& bytes,
                     QString* error) {
    const QString temporary = path + kTemporarySuffix;
    auto fail = [&](const QString& step, int code) {
        if (error) {
            QString reason = QStringLiteral("%1：%2：%3").arg(path, step, systemReason(code));
            if (QFileInfo::exists(path))
                reason += QStringLiteral("，上一份副本保留不变");
            *error = oneLine(reason);
        }
        return false;
    };
    const int fd = files.create(temporary);
    if (fd < 0)
        return fail(QStringLiteral("无法创建临时文件"), errno);
    auto discardTemporary = [&](const QString& step, int code) {
        files.close(fd);
        QFile::remove(temporary);
        return fail(step, code);
    };
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 n = files.write(fd, bytes.constData() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            // write(2) returning 0 for a non-empty buffer: the device takes nothing more.
            const int code = n == 0 ? ENOSPC : errno;
            return discardTemporary(
                QStringLiteral("写入中断（已写入 %1 / %2 字节）").arg(written).arg(bytes.size()),
                code);
        }
        written += n;
    }
    // A file system may report a full disk only when the data reaches it.
    if (!files.sync(fd))
        return discardTemporary(QStringLiteral("写入磁盘失败"), errno);
    if (!files.close(fd)) {
        const int code = errno;
        QFile::remove(temporary);
        return fail(QStringLiteral("关闭文件失败"), code);
    }
    if (!files.rename(temporary, path)) {
        const int code = errno;
        QFile::remove(temporary);
        return fail(QStringLiteral("无法替换旧副本"), code);
    }
    return true;
}

bool makePrivateFolder(const QString& directory) {
    if (!QDir().mkpath(directory) || !QFileInfo(directory).isDir())
        return false;
    // Also a folder made by an older build or under a lax umask.
    QFile::setPermissions(directory, kPrivateFolder);
    return true;
}

QString defaultDirectory() {
    // Relative values are invalid by the base-directory rules and are ignored.
    const QString state = qEnvironmentVariable("XDG_STATE_HOME");
    const QString base = !state.isEmpty() && QDir::isAbsolutePath(state)
                             ? state
                             : QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(base + QStringLiteral("/vexojs"));
}
} // namespace Recovery

LeftoverCopy::LeftoverCopy(QString path, std::unique_ptr<QLockFile> lock, QList<QByteArray> texts)
    : m_path(std::move(path)), m_lock(std::move(lock)), m_texts(std::move(texts)) {}

LeftoverCopy::~LeftoverCopy() = default;

bool LeftoverCopy::remove() {
    return QFile::remove(m_path) || !QFileInfo::exists(m_path);
}

RecoveryStore::RecoveryStore(QString directory)
    : m_directory(QDir::cleanPath(std::move(directory))),
      m_sessionId(QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_files(std::make_unique<RecoveryFiles>()) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::copyPath() const {
    return m_directory + QLatin1Char('/') + kPrefix + m_sessionId + kCopySuffix;
}

void RecoveryStore::setFiles(std::unique_ptr<RecoveryFiles> files) {
    m_files = files ? std::move(files) : std::make_unique<RecoveryFiles>();
}

bool RecoveryStore::open(QString* error) {
    if (m_lock && m_lock->isLocked())
        return true;
    if (!QDir().mkpath(m_directory) || !QFileInfo(m_directory).isDir()) {
        if (error)
            *error = QStringLiteral("无法创建目录 %1").arg(m_directory);
        return false;
    }
    // Also a folder made by an older build or under a lax umask. Not fatal when it fails:
    // the copies themselves are private anyway.
    QFile::setPermissions(m_directory, kPrivateFolder);
    auto lock = lockFor(m_directory, m_sessionId);
    if (!lock->tryLock(0)) {
        if (error)
            *error = QStringLiteral("无法在 %1 中建立锁文件").arg(m_directory);
        return false;
    }
    QFile::setPermissions(m_directory + QLatin1Char('/') + kPrefix + m_sessionId + kLockSuffix,
                          kPrivateFile);
    m_lock = std::move(lock);
    return true;
}

bool RecoveryStore::save(const QList<QByteArray>& texts, QString* error) {
    if (!open(error))
        return false;
    return Recovery::writeAtomically(*m_files, copyPath(), Recovery::encode(texts), error);
}

void RecoveryStore::discard() {
    QFile::remove(copyPath());
    if (m_lock)
        m_lock->unlock();
}

void RecoveryStore::sweepOrphanLocks() const {
    const QDir dir(m_directory);
    // A run killed in the middle of a save leaves its temporary file.
    const QString temporaryGlob = kPrefix + QLatin1Char('*') + kCopySuffix + kTemporarySuffix;
    for (const QString& name : dir.entryList({temporaryGlob}, QDir::Files | QDir::Hidden)) {
        const QString id =
            name.mid(kPrefix.size(),
                     name.size() - kPrefix.size() - kCopySuffix.size() - kTemporarySuffix.size());
        if (id != m_sessionId && lockFor(m_directory, id)->tryLock(0))
            QFile::remove(dir.filePath(name));
    }
    for (const QString& name :
         dir.entryList({kPrefix + QLatin1Char('*') + kLockSuffix}, QDir::Files | QDir::Hidden)) {
        const QString id =
            name.mid(kPrefix.size(), name.size() - kPrefix.size() - kLockSuffix.size());
        if (id == m_sessionId || dir.exists(kPrefix + id + kCopySuffix))
            continue;
        // Taken only when its owner is dead; going out of scope removes the file.
        lockFor(m_directory, id)->tryLock(0);
    }
}

std::unique_ptr<LeftoverCopy> RecoveryStore::claimLeftover(QStringList* damaged) {
    // A run killed before it saved anything leaves only its lock behind.
    sweepOrphanLocks();
    const QDir dir(m_directory);
    // Newest first: after several abnormal ends, the latest work is offered first.
    const QFileInfoList copies = dir.entryInfoList({kPrefix + QLatin1Char('*') + kCopySuffix},
                                                   QDir::Files | QDir::Hidden, QDir::Time);
    for (const QFileInfo& copy : copies) {
        const QString name = copy.fileName();
        const QString id =
            name.mid(kPrefix.size(), name.size() - kPrefix.size() - kCopySuffix.size());
        if (id == m_sessionId)
            continue;
        auto lock = lockFor(m_directory, id);
        if (!lock->tryLock(0))
            continue; // its workbench is still running
        QFile file(copy.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        auto texts = Recovery::decode(file.readAll());
        file.close();
        if (texts)
            return std::make_unique<LeftoverCopy>(copy.filePath(), std::move(lock),
                                                  std::move(*texts));
        QFile::rename(copy.filePath(), copy.filePath() + QStringLiteral(".damaged"));
        if (damaged)
            damaged->append(copy.filePath());
    }
    return nullptr;
}
