// The save that replaces its target only when complete. (Round trips and the messages of
// failed reads and saves are tested through the window's "打开" and "导出".)

#include "editor/ScriptFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

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
