// The workbench as a user meets a crash: a real vexojs process is typed into, killed
// with SIGKILL, and started again.

#include "editor/RecoveryStore.h"

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {
constexpr int kEditors = 6;

QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeFile(const QString& path, const QString& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text.toUtf8());
}

struct Session {
    QTemporaryDir tmp;
    QString state = tmp.filePath(QStringLiteral("state"));

    QString path(const char* name) const { return tmp.filePath(QString::fromUtf8(name)); }

    // Starts the workbench offscreen with its state under the temporary folder.
    void start(QProcess& p, const QString& inputScript) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("XDG_STATE_HOME"), state);
        env.insert(QStringLiteral("VEXOJS_INPUT_SCRIPT"), inputScript);
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(VEXO_BUILD_DIR "/vexojs-driver"), {});
        ASSERT_TRUE(p.waitForStarted());
    }

    QList<QByteArray> dumped(const char* name) const {
        QList<QByteArray> texts;
        for (int i = 0; i < kEditors; ++i)
            texts << readFile(path(name) + QLatin1Char('.') + QString::number(i));
        return texts;
    }

    // The decoded copy currently on disk, if there is exactly one.
    QList<QByteArray> copyOnDisk() const {
        const QDir dir(state + QStringLiteral("/vexojs"));
        const QStringList copies = dir.entryList({QStringLiteral("*.dat")}, QDir::Files);
        if (copies.size() != 1)
            return {};
        return Recovery::decode(readFile(dir.filePath(copies[0]))).value_or(QList<QByteArray>());
    }
};

bool waitForLine(QProcess& p, const QByteArray& line, int ms) {
    const QDeadlineTimer deadline(ms);
    QByteArray out;
    while (!deadline.hasExpired()) {
        out += p.readAllStandardOutput();
        if (out.contains(line + '\n'))
            return true;
        if (p.state() != QProcess::Running)
            return false;
        p.waitForReadyRead(100);
    }
    return false;
}
} // namespace

TEST(RecoveryProcess, KilledWorkbenchGetsBothEditorsBackByteForByte) {
    Session s;
    const QString typing = s.path("typing");
    writeFile(typing, QStringLiteral("tab 0\n"
                                     "type \\n// 加了一行：x = \"a\\\\b\";\\n\\tvar y = 2;\n"
                                     "tab 3\n"
                                     "type function 第四(){\\n\\treturn '四'; // 😀\\n}\n"
                                     "dump %1\n"
                                     "say typed\n")
                          .arg(s.path("before")));
    QProcess first;
    s.start(first, typing);
    ASSERT_TRUE(waitForLine(first, "typed", 60000)) << first.readAllStandardError().toStdString();
    const QList<QByteArray> before = s.dumped("before");
    ASSERT_TRUE(
        before[0].contains(QStringLiteral("// 加了一行：x = \"a\\b\";\r\n\tvar y = 2;").toUtf8()))
        << before[0].toStdString();
    ASSERT_EQ(before[3], QStringLiteral("function 第四(){\r\n\treturn '四'; // 😀\r\n}").toUtf8());

    // Wait (no time is asserted) until the copy holds what was typed, then kill.
    const QDeadlineTimer deadline(60000);
    while (s.copyOnDisk() != before && !deadline.hasExpired())
        first.waitForFinished(100);
    ASSERT_EQ(s.copyOnDisk(), before);
    first.kill();
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::CrashExit);

    const QString answering = s.path("answering");
    writeFile(answering, QStringLiteral("answer 是\ndump %1\nquit\n").arg(s.path("after")));
    QProcess second;
    s.start(second, answering);
    ASSERT_TRUE(second.waitForFinished(60000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0) << second.readAllStandardError().toStdString();
    const QList<QByteArray> after = s.dumped("after");
    for (int i = 0; i < kEditors; ++i)
        EXPECT_EQ(after[i], before[i]) << "editor " << i;
    // Started as usual: the three start-up lines and nothing more.
    const QString log = QString::fromUtf8(readFile(s.path("after") + QStringLiteral(".log")));
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 3) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("-->欢迎使用\r\n")));
    // A normal exit leaves no recovery copy or lock behind.
    EXPECT_TRUE(QDir(s.state + QStringLiteral("/vexojs"))
                    .entryList({QStringLiteral("recovery-*")}, QDir::Files | QDir::Hidden)
                    .isEmpty());
}

TEST(RecoveryProcess, UnwritableStateFolderCostsOneLine) {
    Session s;
    writeFile(s.state, QStringLiteral("a file where the folder should be"));
    const QString typing = s.path("typing");
    writeFile(typing, QStringLiteral("type abc\ndump %1\nquit\n").arg(s.path("out")));
    QProcess p;
    s.start(p, typing);
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(p.exitCode(), 0);
    const QString log = QString::fromUtf8(readFile(s.path("out") + QStringLiteral(".log")));
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 4) << log.toStdString();
    EXPECT_EQ(log.count(QStringLiteral("-->无法保存恢复副本：")), 1) << log.toStdString();
    EXPECT_TRUE(s.dumped("out")[0].endsWith("abc"));
}

namespace {
// Runs the workbench on `steps` to its normal end; the dump of the last "dump" step.
void runToEnd(Session& s, const QString& name, const QString& steps) {
    const QString script = s.path(name.toUtf8().constData()) + QStringLiteral(".steps");
    writeFile(script, steps);
    QProcess p;
    s.start(p, script);
    ASSERT_TRUE(p.waitForFinished(60000));
    ASSERT_EQ(p.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
}

unsigned modeOf(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 0777 : 0;
}

QString logOf(const Session& s, const char* name) {
    return QString::fromUtf8(readFile(s.path(name) + QStringLiteral(".log")));
}
} // namespace

TEST(KeptAcrossRuns, TextsNamesAddressesAndGeometryComeBackAfterANormalClose) {
    Session s;
    const QString script = s.path("a.js");
    writeFile(script, QStringLiteral("function 打开的(){ return 1; }\n"));
    const QString folder = s.state + QStringLiteral("/vexojs");

    // A first start with no state: the demonstration script and the three start-up lines.
    runToEnd(s, QStringLiteral("first"),
             QStringLiteral("dump %1\n"
                            "tab 1\ntype var 一 = 1;\n"
                            "tab 2\ntype var two = 2;\\nvar more;\n"
                            "tab 3\ntype 三\n"
                            "tab 4\nopen %2\n"
                            "address https://example.org/x.js\n"
                            "geometry 120 90 960 700\n"
                            "dump %3\nquit\n")
                 .arg(s.path("fresh"), script, s.path("closing")));
    const QList<QByteArray> fresh = s.dumped("fresh");
    EXPECT_TRUE(fresh[0].contains("function")) << "the demonstration script";
    EXPECT_EQ(logOf(s, "fresh").count(QStringLiteral("\r\n")), 3);
    const QList<QByteArray> closing = s.dumped("closing");
    ASSERT_EQ(closing[4], QStringLiteral("function 打开的(){ return 1; }\n").toUtf8());
    const QByteArray closingWindow = readFile(s.path("closing") + QStringLiteral(".window"));
    ASSERT_TRUE(closingWindow.contains("tab a.js\n")) << closingWindow.toStdString();

    // Private: the folder for its owner alone, every file in it too.
    EXPECT_EQ(modeOf(folder), 0700);
    for (const QString& name : QDir(folder).entryList(QDir::Files | QDir::Hidden))
        EXPECT_EQ(modeOf(folder + QLatin1Char('/') + name), 0600) << name.toStdString();

    runToEnd(s, QStringLiteral("second"), QStringLiteral("dump %1\nquit\n").arg(s.path("again")));
    EXPECT_EQ(s.dumped("again"), closing);
    EXPECT_EQ(readFile(s.path("again") + QStringLiteral(".window")), closingWindow);
    const QString log = logOf(s, "again");
    EXPECT_EQ(log.count(QStringLiteral("\r\n")), 4) << log.toStdString();
    EXPECT_TRUE(log.endsWith(QStringLiteral("-->欢迎使用\r\n-->已恢复上次的代码\r\n")));

    // A damaged file: a first start, one line, the file set aside, not lost.
    QFile damaged(folder + QStringLiteral("/session.dat"));
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    damaged.seek(40);
    damaged.write("XXXX");
    damaged.close();
    runToEnd(s, QStringLiteral("third"), QStringLiteral("dump %1\nquit\n").arg(s.path("hurt")));
    EXPECT_EQ(s.dumped("hurt")[0], fresh[0]);
    EXPECT_EQ(logOf(s, "hurt").count(QStringLiteral("已损坏")), 1);
    EXPECT_TRUE(QFile::exists(folder + QStringLiteral("/session.dat.damaged")));
}
