// Whole-file reads and the save that replaces its target only when complete.

#include "editor/ScriptFile.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

TEST(ScriptFile, WriteThenReadIsByteExactAndReplacesWholeFiles) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("中文名.js"));
    const QByteArray bytes =
        QByteArray("var a = '\0';\r\n", 14) + QStringLiteral("// 注释").toUtf8();
    EXPECT_EQ(writeScriptFile(path, bytes), QString());
    FileRead r = readScriptFile(path);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.bytes, bytes);

    // A shorter text replaces a longer one completely, and no temporary file stays.
    EXPECT_EQ(writeScriptFile(path, "x"), QString());
    EXPECT_EQ(readScriptFile(path).bytes, QByteArray("x"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({QStringLiteral("中文名.js")}));
    // Empty files are files too.
    EXPECT_EQ(writeScriptFile(path, {}), QString());
    r = readScriptFile(path);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.bytes.isEmpty());
}

TEST(ScriptFile, FailuresSayWhyAndLeaveNothingBehind) {
    QTemporaryDir dir;
    FileRead r = readScriptFile(dir.filePath(QStringLiteral("missing.js")));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("文件不存在"));
    r = readScriptFile(dir.path());
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, QStringLiteral("这是一个文件夹"));

    EXPECT_EQ(writeScriptFile(dir.path(), "x"), QStringLiteral("这是一个文件夹"));
    EXPECT_EQ(writeScriptFile(dir.filePath(QStringLiteral("no/such/dir/a.js")), "x"),
              QStringLiteral("文件夹不存在"));
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
