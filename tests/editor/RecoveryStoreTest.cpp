// Recovery copies on disk: the file format, the folder, claiming copies left behind.

#include "editor/RecoveryStore.h"

#include "../support/FileSizeLimit.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
const QList<QByteArray> kTexts = {
    QByteArray("function f(){\r\n    return 1;\r\n}"),
    QByteArray(),
    QByteArray("a\0b\0\0c", 6),                                 // NULs
    QStringLiteral("var 变量 = '中文';\n\t// 注释 😀").toUtf8(), // LF, tab, non-BMP
    QByteArray("\xff\xfe not UTF-8 \xc3", 14),
    QByteArray(100000, 'x'),
};

QStringList filesIn(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QList<QByteArray> copyOf(const RecoveryStore& store) {
    QFile f(store.copyPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return Recovery::decode(f.readAll()).value_or(QList<QByteArray>{QByteArray("damaged")});
}

// The permission bits in octal, as ls -l and chmod speak of them.
QString modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("missing");
    return QString::number(st.st_mode & 07777, 8);
}

// A file layer that fails one step of a save, as a full disk or a failing device does.
struct FaultyFiles : RecoveryFiles {
    enum Step { None, Create, Write, Sync, Close, Rename };
    Step failAt = None;
    int error = ENOSPC;
    qint64 budget = 0;     // bytes that reach the file before the failing write
    qint64 chunk = 0;      // most bytes one write takes (0: all)
    int interruptions = 0; // writes that fail with EINTR before any succeeds

    int create(const QString& path) override {
        if (failAt == Create)
            return errno = error, -1;
        return RecoveryFiles::create(path);
    }
    qint64 write(int fd, const char* data, qint64 size) override {
        if (interruptions > 0)
            return --interruptions, errno = EINTR, -1;
        if (chunk > 0)
            size = std::min(size, chunk);
        if (failAt == Write) {
            if (budget <= 0)
                return errno = error, -1;
            size = std::min(size, budget);
        }
        const qint64 n = RecoveryFiles::write(fd, data, size);
        if (n > 0)
            budget -= n;
        return n;
    }
    bool sync(int fd) override {
        if (failAt == Sync)
            return errno = error, false;
        return RecoveryFiles::sync(fd);
    }
    bool close(int fd) override {
        const bool closed = RecoveryFiles::close(fd);
        if (failAt == Close)
            return errno = error, false;
        return closed;
    }
    bool rename(const QString& from, const QString& to) override {
        if (failAt == Rename)
            return errno = error, false;
        return RecoveryFiles::rename(from, to);
    }
};
} // namespace

TEST(RecoveryFormat, RoundTripsEveryByteAndRejectsDamage) {
    const QByteArray bytes = Recovery::encode(kTexts);
    const auto back = Recovery::decode(bytes);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, kTexts);
    EXPECT_EQ(Recovery::decode(Recovery::encode({})), QList<QByteArray>());

    // A write cut short at any point, or a flipped byte, never decodes.
    for (qsizetype cut : {qsizetype(0), qsizetype(10), bytes.size() / 2, bytes.size() - 1})
        EXPECT_FALSE(Recovery::decode(bytes.left(cut))) << cut;
    for (qsizetype at : {qsizetype(0), qsizetype(20), qsizetype(40), bytes.size() - 5}) {
        QByteArray flipped = bytes;
        flipped[at] = char(flipped[at] ^ 0x20);
        EXPECT_FALSE(Recovery::decode(flipped)) << at;
    }
    EXPECT_FALSE(Recovery::decode(bytes + "x"));
    EXPECT_FALSE(Recovery::decode(QByteArray(64, '\0')));
}

TEST(RecoveryFormat, LengthsBeyondTheFileAreRejected) {
    // A correct checksum over a header that claims more bytes than follow (a copy written
    // by a faulty build must not make the reader run off the end).
    auto withChecksum = [](QByteArray body) {
        return body + QCryptographicHash::hash(body, QCryptographicHash::Sha256);
    };
    const QByteArray header = QByteArray("VEXOJS-RECOVERY\n") + QByteArray::fromHex("00000001");
    EXPECT_FALSE(Recovery::decode(withChecksum(header + QByteArray::fromHex("00000001") +
                                               QByteArray::fromHex("7fffffffffffffff") + "abc")));
    EXPECT_FALSE(Recovery::decode(withChecksum(header + QByteArray::fromHex("ffffffff"))));
    EXPECT_FALSE(Recovery::decode(
        withChecksum(QByteArray("VEXOJS-RECOVERY\n") + QByteArray::fromHex("0000000200000000"))));
    EXPECT_EQ(Recovery::decode(withChecksum(header + QByteArray::fromHex("00000001") +
                                            QByteArray::fromHex("0000000000000003") + "abc")),
              QList<QByteArray>({QByteArray("abc")}));
}

TEST(RecoveryDirectory, FollowsXdgStateHome) {
    const QByteArray saved = qgetenv("XDG_STATE_HOME");
    qputenv("XDG_STATE_HOME", "/tmp/some-state");
    EXPECT_EQ(Recovery::defaultDirectory(), QStringLiteral("/tmp/some-state/vexojs"));
    qputenv("XDG_STATE_HOME", "relative/state"); // not absolute: ignored
    EXPECT_EQ(Recovery::defaultDirectory(),
              QDir::homePath() + QStringLiteral("/.local/state/vexojs"));
    qunsetenv("XDG_STATE_HOME");
    EXPECT_EQ(Recovery::defaultDirectory(),
              QDir::homePath() + QStringLiteral("/.local/state/vexojs"));
    if (!saved.isNull())
        qputenv("XDG_STATE_HOME", saved);
}

TEST(RecoveryStore, SavesInOneStepAndDiscardLeavesNothing) {
    QTemporaryDir tmp;
    const QString dir = tmp.filePath(QStringLiteral("a/b/vexojs"));
    {
        RecoveryStore store(dir);
        ASSERT_TRUE(store.save(kTexts)); // creates the folders on the way
        ASSERT_TRUE(store.save({QByteArray("second")}));
        QFile f(store.copyPath());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(Recovery::decode(f.readAll()), QList<QByteArray>({QByteArray("second")}));
        // The copy and this run's lock; no temporary file is left beside them.
        EXPECT_EQ(filesIn(dir).size(), 2) << filesIn(dir).join(QLatin1Char(' ')).toStdString();
        store.discard();
        EXPECT_TRUE(filesIn(dir).isEmpty()) << filesIn(dir).join(QLatin1Char(' ')).toStdString();
    }
    EXPECT_TRUE(filesIn(dir).isEmpty());
}

TEST(RecoveryStore, UnusableFolderIsAnErrorValue) {
    QTemporaryDir tmp;
    const QString blocker = tmp.filePath(QStringLiteral("file"));
    writeFile(blocker, "not a folder");
    RecoveryStore store(blocker + QStringLiteral("/vexojs"));
    QString error;
    EXPECT_FALSE(store.open(&error));
    EXPECT_TRUE(error.contains(blocker)) << error.toStdString();
    error.clear();
    EXPECT_FALSE(store.save(kTexts, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(error.contains(QLatin1Char('\n')));
    store.discard(); // nothing to remove; no crash
    EXPECT_FALSE(store.claimLeftover());
}

TEST(RecoveryStore, ClaimsOnlyCopiesWhoseRunHasEnded) {
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    RecoveryStore current(dir);
    ASSERT_TRUE(current.save({QByteArray("mine")}));

    // A run that is still going holds its lock: its copy is not offered.
    RecoveryStore running(dir);
    ASSERT_TRUE(running.save({QByteArray("running")}));
    EXPECT_FALSE(current.claimLeftover());

    // Two runs that ended without discarding (their locks are gone): newest first.
    QString olderPath;
    {
        RecoveryStore older(dir);
        ASSERT_TRUE(older.save({QByteArray("older")}));
        olderPath = older.copyPath();
    }
    QThread::msleep(1100); // modification times of whole seconds on some file systems
    {
        RecoveryStore newer(dir);
        ASSERT_TRUE(newer.save({QByteArray("newer")}));
    }
    auto first = current.claimLeftover();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->texts(), QList<QByteArray>({QByteArray("newer")}));
    // Claimed: another run looking now gets the older one, not this one.
    RecoveryStore other(dir);
    auto second = other.claimLeftover();
    ASSERT_TRUE(second);
    EXPECT_EQ(second->texts(), QList<QByteArray>({QByteArray("older")}));
    EXPECT_EQ(second->path(), olderPath);
    EXPECT_TRUE(first->remove());
    EXPECT_TRUE(second->remove());
    first.reset();
    second.reset();
    EXPECT_FALSE(current.claimLeftover());
    EXPECT_FALSE(other.claimLeftover());
    EXPECT_TRUE(QFileInfo::exists(current.copyPath()));
    EXPECT_TRUE(QFileInfo::exists(running.copyPath()));
}

TEST(RecoveryStore, DamagedCopyIsSetAsideOnceAndKept) {
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    QString path;
    {
        RecoveryStore dead(dir);
        ASSERT_TRUE(dead.save(kTexts));
        path = dead.copyPath();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray whole = f.readAll();
    f.close();
    writeFile(path, whole.left(whole.size() / 2));

    RecoveryStore store(dir);
    QStringList damaged;
    EXPECT_FALSE(store.claimLeftover(&damaged));
    EXPECT_EQ(damaged, QStringList({path}));
    EXPECT_TRUE(QFileInfo::exists(path + QStringLiteral(".damaged")));
    damaged.clear();
    EXPECT_FALSE(store.claimLeftover(&damaged));
    EXPECT_TRUE(damaged.isEmpty());
}

TEST(RecoveryStore, LocksOfDeadRunsWithoutACopyAreSweptAway) {
    QTemporaryDir tmp;
    const QString dir = tmp.path();
    // A run killed before its first save: a lock naming a process that is gone.
    const QString orphan =
        dir + QStringLiteral("/recovery-0d0d0d0d-dead-4bad-8bad-0d0d0d0d0d0d.lock");
    writeFile(orphan, QByteArray("2147483000\nvexojs\n") + QSysInfo::machineHostName().toUtf8() +
                          QByteArray("\n"));
    // A run still going, not yet saved: its lock stays.
    RecoveryStore running(dir);
    ASSERT_TRUE(running.open());
    const QStringList before = filesIn(dir);
    ASSERT_EQ(before.size(), 2);

    RecoveryStore current(dir);
    EXPECT_FALSE(current.claimLeftover());
    EXPECT_FALSE(QFileInfo::exists(orphan));
    EXPECT_EQ(filesIn(dir).size(), 1);
    EXPECT_TRUE(filesIn(dir).first().endsWith(QStringLiteral(".lock")));
    running.discard();
    EXPECT_TRUE(filesIn(dir).isEmpty());

    // A run killed in the middle of a save leaves a temporary file: it goes too, but not
    // that of a run still going.
    const QString killed =
        dir + QStringLiteral("/recovery-0d0d0d0d-dead-4bad-8bad-0d0d0d0d0d0d.dat.tmp");
    writeFile(killed, "half a copy");
    RecoveryStore alive(dir);
    ASSERT_TRUE(alive.open());
    const QString aliveTemporary = alive.copyPath() + QStringLiteral(".tmp");
    writeFile(aliveTemporary, "being written");
    EXPECT_FALSE(current.claimLeftover());
    EXPECT_FALSE(QFileInfo::exists(killed));
    EXPECT_TRUE(QFileInfo::exists(aliveTemporary));
}

TEST(RecoveryStore, ACopyIsReplacedOnlyWhenWrittenWhole) {
    const struct {
        const char* name;
        FaultyFiles::Step failAt;
        int error;
        qint64 budget;
        qint64 chunk;
        int interruptions;
        rlim_t fileSizeLimit; // a real limit on the process's files (0: none)
        const char* reason;   // in the error; nullptr: the save succeeds
    } cases[] = {
        {"disk full part-way", FaultyFiles::Write, ENOSPC, 1000, 0, 0, 0,
         "写入中断（已写入 1000 / "},
        {"real file size limit", FaultyFiles::None, 0, 0, 0, 0, 4096, "文件超出允许的大小"},
        {"nothing written at all", FaultyFiles::Write, ENOSPC, 0, 0, 0, 0, "磁盘空间不足"},
        {"device error at the flush", FaultyFiles::Sync, EIO, 0, 0, 0, 0,
         "写入磁盘失败：磁盘读写错误"},
        {"quota reported at close", FaultyFiles::Close, EDQUOT, 0, 0, 0, 0,
         "关闭文件失败：超出磁盘配额"},
        {"rename refused", FaultyFiles::Rename, EROFS, 0, 0, 0, 0, "无法替换旧副本：文件系统只读"},
        {"temporary file refused", FaultyFiles::Create, ENOSPC, 0, 0, 0, 0, "无法创建临时文件"},
        {"short and interrupted writes", FaultyFiles::None, 0, 0, 4093, 3, 0, nullptr},
    };
    const QList<QByteArray> old = {QByteArray("the last good copy")};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        RecoveryStore store(tmp.path());
        ASSERT_TRUE(store.save(old));
        auto files = std::make_unique<FaultyFiles>();
        files->failAt = c.failAt;
        files->error = c.error;
        files->budget = c.budget;
        files->chunk = c.chunk;
        files->interruptions = c.interruptions;
        store.setFiles(std::move(files));
        QString error;
        bool saved = false;
        {
            std::optional<FileSizeLimit> limit;
            if (c.fileSizeLimit)
                limit.emplace(c.fileSizeLimit);
            saved = store.save(kTexts, &error);
        }
        EXPECT_EQ(saved, !c.reason) << error.toStdString();
        EXPECT_EQ(copyOf(store), c.reason ? old : kTexts);
        // The copy and the lock: no temporary file is left behind.
        EXPECT_EQ(filesIn(tmp.path()).size(), 2) << filesIn(tmp.path()).join(' ').toStdString();
        if (c.reason) {
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << error.toStdString();
            EXPECT_TRUE(error.contains(store.copyPath()));
            EXPECT_TRUE(error.endsWith(QStringLiteral("，上一份副本保留不变")))
                << error.toStdString();
            EXPECT_FALSE(error.contains(QLatin1Char('\n')));
        }
        // The store stays usable once the fault is gone.
        store.setFiles(nullptr);
        EXPECT_TRUE(store.save(kTexts));
        EXPECT_EQ(copyOf(store), kTexts);
    }
}

TEST(RecoveryStore, FolderAndFilesAreTheUsersAloneWhateverTheUmask) {
    const struct {
        mode_t umask;
        bool folderExists; // made earlier with the umask's usual mode
    } cases[] = {{0022, false}, {0, false}, {0077, false}, {0002, true}, {0, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.umask);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("state/vexojs"));
        const mode_t saved = ::umask(c.umask);
        if (c.folderExists)
            QDir().mkpath(dir);
        RecoveryStore store(dir);
        const bool ok = store.save(kTexts);
        ::umask(saved);
        ASSERT_TRUE(ok);
        EXPECT_EQ(modeOf(dir), QStringLiteral("700"));
        const QStringList files = filesIn(dir);
        ASSERT_EQ(files.size(), 2);
        for (const QString& name : files)
            EXPECT_EQ(modeOf(dir + QLatin1Char('/') + name), QStringLiteral("600"))
                << name.toStdString();
    }
}
