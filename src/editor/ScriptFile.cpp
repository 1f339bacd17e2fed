#include "editor/ScriptFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStorageInfo>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {
// The system's wording for most failures; the two a user meets most in plain words.
QString openFailure(const QString& path, const QFileDevice& file) {
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("文件不存在");
    if (info.isDir())
        return QStringLiteral("这是一个文件夹");
    if (!info.isReadable())
        return QStringLiteral("没有读取权限");
    return file.errorString();
}

// Why a new file cannot be made at path, when it is plain from the folder.
QString saveFailure(const QString& path, const QFileDevice& file) {
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir())
        return QStringLiteral("文件夹不存在");
    if (!folder.isWritable())
        return QStringLiteral("没有写入权限");
    return file.errorString();
}

// Why writing or finishing the temporary file failed. Qt often has no words for a full
// disk ("未知错误"), so the system's error number and the free space decide first.
QString writeFailure(const QString& path, const QFileDevice& file, int error, qint64 needed) {
    if (error == ENOSPC || error == EDQUOT)
        return QStringLiteral("磁盘空间不足");
    const QStorageInfo volume(QFileInfo(path).absolutePath());
    if (volume.isValid() && volume.bytesAvailable() >= 0 && volume.bytesAvailable() < needed)
        return QStringLiteral("磁盘空间不足");
    if (file.error() != QFileDevice::NoError && !file.errorString().isEmpty() &&
        file.errorString() != QLatin1String("Unknown error"))
        return file.errorString();
    return error != 0 ? QString::fromLocal8Bit(std::strerror(error)) : QStringLiteral("写入失败");
}

QString overCap(qint64 cap) {
    constexpr qint64 kMiB = 1024 * 1024;
    return cap % kMiB == 0 ? QStringLiteral("内容超过 %1 MiB 上限").arg(cap / kMiB)
                           : QStringLiteral("内容超过 %1 字节上限").arg(cap);
}
} // namespace

FileRead readWholeDevice(QIODevice& device, qint64 maxBytes) {
    constexpr qint64 kPiece = 1024 * 1024;
    QByteArray bytes;
    for (;;) {
        // One byte past the cap is enough to know it is passed.
        const qint64 want = std::min(kPiece, maxBytes + 1 - bytes.size());
        const qsizetype before = bytes.size();
        bytes.resize(before + want);
        const qint64 got = device.read(bytes.data() + before, want);
        bytes.resize(before + std::max<qint64>(got, 0));
        if (got < 0)
            return {false, {}, device.errorString()};
        if (bytes.size() > maxBytes)
            return {false, {}, overCap(maxBytes)};
        if (got == 0) // a file's read blocks until there is more or the end
            break;
    }
    return {true, std::move(bytes), {}};
}

FileRead readScriptFile(const QString& path, qint64 maxBytes) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, {}, openFailure(path, file)};
    // A plain file tells its size; devices and pipes are counted as they are read.
    if (!file.isSequential() && file.size() > maxBytes)
        return {false, {}, overCap(maxBytes)};
    FileRead read = readWholeDevice(file, maxBytes);
    if (read.ok && file.error() != QFileDevice::NoError)
        return {false, {}, file.errorString()};
    return read;
}

QString writeScriptFile(const QString& path, const QByteArray& bytes, SaveWriteStep write) {
    if (QFileInfo(path).isDir())
        return QStringLiteral("这是一个文件夹");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return saveFailure(path, file);
    errno = 0;
    const qint64 written = write ? write(file, bytes) : file.write(bytes);
    if (written != bytes.size()) {
        const QString reason = writeFailure(path, file, errno, bytes.size());
        file.cancelWriting();
        return reason;
    }
    errno = 0;
    if (!file.commit())
        return writeFailure(path, file, errno, bytes.size());
    return {};
}
