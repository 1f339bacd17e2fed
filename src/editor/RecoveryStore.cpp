#include "editor/RecoveryStore.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUuid>
#include <QtEndian>

namespace {
const QByteArray kMagic("VEXOJS-RECOVERY\n");
constexpr quint32 kFormat = 1;
constexpr qsizetype kDigestSize = 32; // SHA-256
const QString kPrefix = QStringLiteral("recovery-");
const QString kCopySuffix = QStringLiteral(".dat");
const QString kLockSuffix = QStringLiteral(".lock");

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
} // namespace

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
      m_sessionId(QUuid::createUuid().toString(QUuid::WithoutBraces)) {}

RecoveryStore::~RecoveryStore() = default;

QString RecoveryStore::copyPath() const {
    return m_directory + QLatin1Char('/') + kPrefix + m_sessionId + kCopySuffix;
}

bool RecoveryStore::open(QString* error) {
    if (m_lock && m_lock->isLocked())
        return true;
    if (!QDir().mkpath(m_directory) || !QFileInfo(m_directory).isDir()) {
        if (error)
            *error = QStringLiteral("无法创建目录 %1").arg(m_directory);
        return false;
    }
    auto lock = lockFor(m_directory, m_sessionId);
    if (!lock->tryLock(0)) {
        if (error)
            *error = QStringLiteral("无法在 %1 中建立锁文件").arg(m_directory);
        return false;
    }
    m_lock = std::move(lock);
    return true;
}

bool RecoveryStore::save(const QList<QByteArray>& texts, QString* error) {
    if (!open(error))
        return false;
    QSaveFile file(copyPath());
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = oneLine(QStringLiteral("%1：%2").arg(copyPath(), file.errorString()));
        return false;
    }
    file.write(Recovery::encode(texts));
    if (!file.commit()) {
        if (error)
            *error = oneLine(QStringLiteral("%1：%2").arg(copyPath(), file.errorString()));
        return false;
    }
    return true;
}

void RecoveryStore::discard() {
    QFile::remove(copyPath());
    if (m_lock)
        m_lock->unlock();
}

void RecoveryStore::sweepOrphanLocks() const {
    const QDir dir(m_directory);
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
