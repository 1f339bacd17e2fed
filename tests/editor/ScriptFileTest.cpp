// The save that replaces its target only when complete. (Round trips and the messages of
// failed reads and saves are tested through the window's "打开" and "导出".)

#include "editor/ScriptFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>

#include <unistd.h>

TEST(ScriptFile, SavesReplaceWholeFilesAndLeaveNothingElse) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("中文名.js"));
    EXPECT_EQ(writeScriptFile(path, "a longer first text"), QString());
    EXPECT_EQ(writeScriptFile(path, "x"), QString());
    EXPECT_EQ(readScriptFile(path).bytes, QByteArray("x"));
    EXPECT_EQ(writeScriptFile(path, {}), QString());
    const FileRead empty = readScriptFile(path);
    EXPECT_TRUE(empty.ok);
    EXPECT_TRUE(empty.bytes.isEmpty());
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("中文名.js")}));

    // A folder that cannot be written to (root writes everywhere, so only as a user).
    if (::geteuid() != 0) {
        const QString locked = dir.filePath(QStringLiteral("locked"));
        ASSERT_TRUE(QDir().mkdir(locked));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
        EXPECT_EQ(writeScriptFile(locked + QStringLiteral("/a.js"), "x"),
                  QStringLiteral("没有写入权限"));
        EXPECT_TRUE(QDir(locked).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
        QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
}

namespace {
// Writes half, then fails as write(2) does on a full disk.
qint64 fullDiskWrite(QFileDevice& file, const QByteArray& bytes) {
    file.write(bytes.left(bytes.size() / 2));
    errno = ENOSPC;
    return -1;
}
} // namespace

TEST(ScriptFile, EndlessInputsStopAtTheCapAndFullDisksSaySo) {
    QTemporaryDir dir;
    const QString big = dir.filePath(QStringLiteral("big.js"));
    {
        QFile f(big);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, 'a'));
    }
    const struct {
        const char* path;
        qint64 cap;
        const char* error; // empty: read whole
    } reads[] = {
        {"/dev/zero", kMaxScriptFileBytes, "内容超过 64 MiB 上限"}, // never ends
        {"/dev/zero", 4096, "内容超过 4096 字节上限"},
        {"big", 4999, "内容超过 4999 字节上限"}, // refused by its size alone
        {"big", 5000, ""},
    };
    for (const auto& c : reads) {
        const QString path = QByteArrayView(c.path) == "big" ? big : QString::fromUtf8(c.path);
        const FileRead r = readScriptFile(path, c.cap);
        EXPECT_EQ(r.ok, !*c.error) << c.path << c.cap;
        EXPECT_EQ(r.error, QString::fromUtf8(c.error)) << c.path << c.cap;
        EXPECT_EQ(r.bytes.size(), *c.error ? 0 : 5000) << c.path << c.cap;
    }

    // A save that runs out of space says so and keeps the old file whole.
    const QString kept = dir.filePath(QStringLiteral("kept.js"));
    ASSERT_EQ(writeScriptFile(kept, "old text"), QString());
    EXPECT_EQ(writeScriptFile(kept, QByteArray(100000, 'n'), fullDiskWrite),
              QStringLiteral("磁盘空间不足"));
    EXPECT_EQ(readScriptFile(kept).bytes, QByteArray("old text"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("big.js"), QStringLiteral("kept.js")}));
    // A real small file system, where one is given (a 256 KiB tmpfs, say).
    const QString full = qEnvironmentVariable("VEXO_TEST_FULL_DIR");
    if (!full.isEmpty()) {
        EXPECT_EQ(writeScriptFile(full + QStringLiteral("/a.js"), QByteArray(8 << 20, 'f')),
                  QStringLiteral("磁盘空间不足"));
        EXPECT_FALSE(QFile::exists(full + QStringLiteral("/a.js")));
    }
}
