#pragma once
// Whole-file reads and writes for scripts. A write goes to a temporary file in the same
// folder that replaces the target only once every byte is on disk, so a failed save
// never leaves a half-written file behind.

#include <QByteArray>
#include <QString>

struct FileRead {
    bool ok = false;
    QByteArray bytes;
    QString error; // the reason when not ok
};

FileRead readScriptFile(const QString& path);
// Empty on success, else the reason.
QString writeScriptFile(const QString& path, const QByteArray& bytes);
