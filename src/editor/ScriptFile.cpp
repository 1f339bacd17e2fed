#include "editor/ScriptFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

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
} // namespace

FileRead readScriptFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {false, {}, openFailure(path, file)};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {false, {}, file.errorString()};
    return {true, std::move(bytes), {}};
}

QString writeScriptFile(const QString& path, const QByteArray& bytes) {
    if (QFileInfo(path).isDir())
        return QStringLiteral("这是一个文件夹");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return saveFailure(path, file);
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
