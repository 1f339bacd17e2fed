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
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}
