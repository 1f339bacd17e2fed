#pragma once
// Whole-file reads and writes for scripts. A read takes at most 64 MiB, as a download
// does, so that a file that never ends (a device, a pipe) cannot fill the memory. A write
// goes to a temporary file in the same folder that replaces the target only once every
// byte is on disk, so a failed save never leaves a half-written file behind.

#include <QByteArray>
#include <QString>

class QFileDevice;
class QIODevice;

struct FileRead {
    bool ok = false;
    QByteArray bytes;
    QString error; // the reason when not ok
};

constexpr qint64 kMaxScriptFileBytes = 64LL * 1024 * 1024;

FileRead readScriptFile(const QString& path, qint64 maxBytes = kMaxScriptFileBytes);
// Everything the open device gives until its end, or a failure once it gives more
// than maxBytes ("内容超过 64 MiB 上限").
FileRead readWholeDevice(QIODevice& device, qint64 maxBytes = kMaxScriptFileBytes);

// The step of a save that puts the bytes into the temporary file, as QIODevice::write
// does; tests put in one that fails as a full disk does.
using SaveWriteStep = qint64 (*)(QFileDevice& file, const QByteArray& bytes);

// Empty on success, else the reason.
QString writeScriptFile(const QString& path, const QByteArray& bytes,
                        SaveWriteStep write = nullptr);
