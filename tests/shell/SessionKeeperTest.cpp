// Work kept across runs in one process: what the next window gets back, with keeping
// on or off, and the recovery copy standing in when the texts cannot be kept.

#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/RecoveryStore.h"
#include "shell/BrowserCommands.h"
#include "shell/EditorRecovery.h"
#include "shell/OutputLog.h"
#include "shell/SessionKeeper.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QTemporaryDir>

namespace {
struct OneRun : WindowFixture {
    EditorRecovery recovery;
    SessionKeeper session;
    explicit OneRun(const QString& dir)
        : recovery(window.workspace(), dir),
          session(window.workspace(), window.sessionControls(), dir) {
        session.restore();
        window.show();
        recovery.start();
    }
    // As main does at a normal end.
    bool close() {
        window.close();
        const bool kept = session.save();
        recovery.finish(!kept);
        return kept;
    }
};
} // namespace

TEST(SessionKeeper, KeptTextsOffSwitchAndTheRecoveryCopyAsFallback) {
    const struct {
        const char* name;
        bool keep;
        bool folderIsAFile; // keeping the texts fails
        bool textsBack;
        bool copyOffered;
    } cases[] = {
        {"kept", true, false, true, false},
        {"keeping off", false, false, false, false},
        {"kept texts cannot be written", true, true, false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir tmp;
        const QString dir = tmp.filePath(QStringLiteral("vexojs"));
        {
            OneRun first(dir);
            first.session.keepAction()->setChecked(c.keep);
            first.window.tabs().editor(2)->SetText("var kept = 2;");
            first.window.browserBox()->setChecked(true);
            first.window.browserCommands().monitorAction()->setChecked(true);
            first.window.browserCommands().setPageUrl(QStringLiteral("https://site.test/"));
            if (c.folderIsAFile) {
                // The recovery folder exists; the texts' file name is taken by a folder.
                ASSERT_TRUE(QDir().mkpath(first.session.textsPath()));
            }
            EXPECT_EQ(first.close(), !c.folderIsAFile);
        }
        if (c.folderIsAFile)
            QDir(dir + QStringLiteral("/session.dat")).removeRecursively();
        OneRun second(dir);
        // The crash copy is offered after the kept texts went back, and answered No here.
        EXPECT_EQ(second.dialogs.questions.size(), c.copyOffered ? 1 : 0);
        EXPECT_EQ(second.window.tabs().editor(2)->GetText() == "var kept = 2;", c.textsBack);
        EXPECT_EQ(second.window.outputLog().messages().contains(
                      QStringLiteral("-->已恢复上次的代码\r\n")),
                  c.textsBack);
        EXPECT_EQ(second.session.keepAction()->isChecked(), c.keep);
        // "浏览器环境", "环境监控" and the page address are options kept with the others.
        EXPECT_EQ(second.window.browserBox()->isChecked(), c.keep);
        EXPECT_EQ(second.window.browserCommands().monitorAction()->isChecked(), c.keep);
        EXPECT_EQ(second.window.browserCommands().pageUrl() == QStringLiteral("https://site.test/"),
                  c.keep);
        second.close();
    }
}
