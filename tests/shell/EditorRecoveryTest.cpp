// The recovery copy as the window keeps it: written after edits, removed at a normal
// exit, offered after an abnormal end, and a folder that cannot be written.

#include "../support/FakeDialogs.h"
#include "../support/FileSizeLimit.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/RecoveryStore.h"
#include "script/GlobalObjects.h"
#include "shell/EditorRecovery.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>
#include <sys/resource.h>

namespace {
const QString kQuestion = QStringLiteral("信息：|检测到上次未正常退出，是否恢复未保存的代码？");

struct Workbench : WindowFixture {
    Workbench() { window.show(); }
    QList<QByteArray> texts() const {
        QList<QByteArray> t;
        for (int i = 0; i < EditorTabs::kEditorCount; ++i)
            t << window.tabs().editor(i)->GetText();
        return t;
    }
};

QList<QByteArray> copyOf(const RecoveryStore& store) {
    QFile f(store.copyPath());
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return Recovery::decode(f.readAll()).value_or(QList<QByteArray>());
}

// What a run that was killed leaves: a copy whose lock nobody holds.
QList<QByteArray> leaveCopyBehind(const QString& dir) {
    QList<QByteArray> texts;
    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        texts << QByteArray();
    texts[0] = QStringLiteral("function 恢复(){}\r\n// 第二行").toUtf8();
    texts[4] = QByteArray("x\0y\tz\n", 6);
    RecoveryStore dead(dir);
    EXPECT_TRUE(dead.save(texts));
    return texts;
}

QStringList entries(const QString& dir) {
    return QDir(dir).entryList(QDir::Files | QDir::Hidden);
}

} // namespace

TEST(EditorRecovery, EditsAreCopiedAfterTheIntervalAndANormalExitLeavesNothing) {
    QTemporaryDir tmp;
    Workbench wb;
    EditorRecovery recovery(wb.window.workspace(), tmp.path(), 20);
    recovery.start();
    EXPECT_TRUE(wb.dialogs.questions.isEmpty());
    // The start-up state alone is not worth a copy.
    EXPECT_TRUE(recovery.saveNow());
    EXPECT_FALSE(QFile::exists(recovery.store().copyPath()));

    wb.window.tabs().editor(2)->InsertText("var a = 1;");
    const QDeadlineTimer deadline(30000);
    while (!QFile::exists(recovery.store().copyPath()) && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(copyOf(recovery.store()), wb.texts());

    // Back to the start-up texts: the copy goes again.
    wb.window.tabs().editor(2)->ClearAll();
    EXPECT_TRUE(recovery.saveNow());
    EXPECT_FALSE(QFile::exists(recovery.store().copyPath()));

    wb.window.tabs().editor(5)->InsertText("changed");
    EXPECT_TRUE(recovery.saveNow());
    EXPECT_EQ(copyOf(recovery.store()), wb.texts());
    recovery.finish();
    EXPECT_TRUE(entries(tmp.path()).isEmpty()) << entries(tmp.path()).join(' ').toStdString();
    EXPECT_EQ(wb.window.outputLog().messages().size(), 3);
}

// "是" puts every editor back byte for byte and makes the texts this run's copy; "否"
// discards the copy and keeps the start-up texts. Either way the question comes once:
// the next start finds nothing to offer while this run lives, nor after it ends.
TEST(EditorRecovery, YesRestoresEveryEditorAndNoDiscardsTheCopy) {
    for (const Dialogs::Answer answer : {Dialogs::Answer::Yes, Dialogs::Answer::No}) {
        const bool yes = answer == Dialogs::Answer::Yes;
        SCOPED_TRACE(yes ? "yes" : "no");
        QTemporaryDir tmp;
        const QList<QByteArray> saved = leaveCopyBehind(tmp.path());
        Workbench wb;
        const QList<QByteArray> startUp = wb.texts();
        wb.dialogs.yesNoAnswer = answer;
        EditorRecovery recovery(wb.window.workspace(), tmp.path());
        recovery.start();
        EXPECT_EQ(wb.dialogs.questions, QStringList({kQuestion}));
        EXPECT_EQ(wb.texts(), yes ? saved : startUp);
        // The start-up lines stand as usual, nothing else.
        EXPECT_EQ(wb.window.outputLog().messages().size(), 3);
        // The restored texts are this run's copy now; the old one is gone.
        EXPECT_EQ(copyOf(recovery.store()), yes ? saved : QList<QByteArray>());
        EXPECT_EQ(entries(tmp.path()).filter(QStringLiteral(".dat")).size(), yes ? 1 : 0);

        Workbench second;
        second.dialogs.yesNoAnswer = Dialogs::Answer::Yes;
        EditorRecovery other(second.window.workspace(), tmp.path());
        other.start();
        EXPECT_TRUE(second.dialogs.questions.isEmpty());
        recovery.finish();
        other.finish();
        EXPECT_TRUE(entries(tmp.path()).isEmpty());
    }
}

TEST(EditorRecovery, UnwritableFolderCostsOneLineAndNothingElse) {
    QTemporaryDir tmp;
    const QString blocker = tmp.filePath(QStringLiteral("state"));
    QFile f(blocker);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    Workbench wb;
    EditorRecovery recovery(wb.window.workspace(), blocker + QStringLiteral("/vexojs"), 10);
    recovery.start();
    for (int i = 0; i < 3; ++i) {
        wb.window.tabs().editor(1)->InsertText("typed ");
        EXPECT_FALSE(recovery.saveNow());
    }
    const QStringList log = wb.window.outputLog().messages();
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[3].startsWith(QStringLiteral("-->无法保存恢复副本："))) << log[3].toStdString();
    EXPECT_TRUE(log[3].endsWith(QStringLiteral("\r\n")));
    EXPECT_EQ(log[3].count(QLatin1Char('\n')), 1);
    // The editors keep what was typed.
    EXPECT_EQ(wb.window.tabs().editor(1)->GetText(), QByteArray("typed typed typed "));
    recovery.finish();
}

TEST(EditorRecovery, DamagedCopyIsReportedNotOffered) {
    QTemporaryDir tmp;
    QString path;
    {
        RecoveryStore dead(tmp.path());
        ASSERT_TRUE(dead.save({QByteArray("text")}));
        path = dead.copyPath();
    }
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("VEXOJS-RECOVERY\n\0\0", 18);
    f.close();
    Workbench wb;
    wb.dialogs.yesNoAnswer = Dialogs::Answer::Yes;
    EditorRecovery recovery(wb.window.workspace(), tmp.path());
    recovery.start();
    EXPECT_TRUE(wb.dialogs.questions.isEmpty());
    const QStringList log = wb.window.outputLog().messages();
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[3].startsWith(QStringLiteral("-->恢复副本已损坏"))) << log[3].toStdString();
    EXPECT_TRUE(QFile::exists(path + QStringLiteral(".damaged")));
}

TEST(EditorRecovery, AFailedWriteCostsOneLineAndKeepsTheLastGoodCopy) {
    QTemporaryDir tmp;
    Workbench wb;
    EditorRecovery recovery(wb.window.workspace(), tmp.path(), 10);
    recovery.start();
    CodeEditor* editor = wb.window.tabs().editor(1);
    editor->InsertText("var good = 1;");
    ASSERT_TRUE(recovery.saveNow());
    const QList<QByteArray> good = wb.texts();
    const QStringList& log = wb.window.outputLog().messages();

    // The text grows to 2 MB on a disk with 64 KiB left: every try fails, one line says so.
    {
        FileSizeLimit full(64 * 1024);
        for (int i = 0; i < 3; ++i) {
            editor->InsertText(QByteArray(700 * 1024, 'x'));
            EXPECT_FALSE(recovery.saveNow());
        }
    }
    ASSERT_EQ(log.size(), 4);
    EXPECT_TRUE(log[3].startsWith(QStringLiteral("-->无法保存恢复副本："))) << log[3].toStdString();
    EXPECT_TRUE(log[3].contains(QStringLiteral("上一份副本保留不变"))) << log[3].toStdString();
    EXPECT_EQ(log[3].count(QLatin1Char('\n')), 1);
    EXPECT_EQ(copyOf(recovery.store()), good);
    EXPECT_EQ(entries(tmp.path()).size(), 2); // the copy and the lock, no half-written file

    // Room again: the copy follows the editors; a later failure is reported anew.
    ASSERT_TRUE(recovery.saveNow());
    EXPECT_EQ(copyOf(recovery.store()), wb.texts());
    {
        FileSizeLimit full(64 * 1024);
        editor->InsertText("more");
        EXPECT_FALSE(recovery.saveNow());
    }
    EXPECT_EQ(log.size(), 5);
    recovery.finish();
}
