#include "tools/DeobModuleFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

QString writeModuleFiles(const QString& dir, const QList<DeobModule>& modules) {
    const QDir root(dir);
    if (!root.mkpath(QStringLiteral(".")))
        return QStringLiteral("无法创建目录 %1").arg(dir);
    for (const DeobModule& m : modules) {
        const QString path = root.filePath(m.name);
        if (!QDir().mkpath(QFileInfo(path).absolutePath()))
            return QStringLiteral("无法创建目录 %1").arg(QFileInfo(path).absolutePath());
        QSaveFile file(path);
        const QByteArray bytes = m.code.toUtf8();
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            return QStringLiteral("无法写入 %1：%2").arg(path, file.errorString());
    }
    return {};
}
