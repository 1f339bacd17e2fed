// Files on tabs: names, the changed mark, the title, the recent list, the question before
// changes are replaced, and files and addresses dropped on an editor.

#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "shell/OutputLog.h"
#include "shell/ReadSaveCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>

namespace {
// What the editor reports when a file or address is dropped on it. (A synthetic drop
// event does not reach the editor component on the offscreen platform.)
void drop(CodeEditor* editor, const QUrl& url) {
    emit editor->SCN_URIDROPPED(url);
}
} // namespace

TEST(FileTabs, NamesMarksTitleRecentQuestionAndDrops) {
    QTemporaryDir dir;
    const QString a = dir.filePath(QStringLiteral("a.js"));
    const QString b = dir.filePath(QStringLiteral("第二.js"));
    for (const QString& path : {a, b}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("var x = 1;\n");
    }
    WindowFixture wb;
    MainWindow& w = wb.window;
    FakeDialogs& dialogs = wb.dialogs;
    w.show();
    EditorTabs& tabs = w.tabs();
    tabs.setCurrentIndex(2);
    EXPECT_EQ(tabs.label(2), QStringLiteral("New2  "));

    dialogs.fileToOpen = a;
    w.openAction()->trigger();
    EXPECT_EQ(tabs.label(2), QStringLiteral("a.js"));
    EXPECT_EQ(tabs.tabToolTip(2), a);
    EXPECT_EQ(w.windowTitle(), QStringLiteral("VexoJS调试工具1.9 - ") + a);
    tabs.editor(2)->SendScintilla(QsciScintillaBase::SCI_ADDTEXT, 2UL, "//");
    EXPECT_EQ(tabs.label(2), QStringLiteral("a.js*"));

    // Over changes not saved: asked, and "否" keeps them.
    const struct {
        Dialogs::Answer answer;
        const char* label;
    } answers[] = {{Dialogs::Answer::No, "a.js*"}, {Dialogs::Answer::Yes, "第二.js"}};
    for (const auto& c : answers) {
        dialogs.yesNoAnswer = c.answer;
        drop(tabs.editor(2), QUrl::fromLocalFile(b));
        EXPECT_EQ(tabs.label(2), QString::fromUtf8(c.label));
    }
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_EQ(tabs.editor(2)->GetText(), "var x = 1;\n");

    // Saving names the tab after the file saved to and clears the mark.
    tabs.setCurrentIndex(3);
    tabs.editor(3)->SetText("var saved;");
    dialogs.fileToSave = dir.filePath(QStringLiteral("out.js"));
    w.saveAction()->trigger();
    EXPECT_EQ(tabs.label(3), QStringLiteral("out.js"));

    // A dropped address is read as "读取JS" reads it (here from nowhere: the failure line).
    drop(tabs.editor(4), QUrl(QStringLiteral("http://127.0.0.1:1/x.js")));
    EXPECT_EQ(w.addressBox()->currentText(), QStringLiteral("http://127.0.0.1:1/x.js"));
    EXPECT_TRUE(w.outputLog().messages().last().startsWith(QStringLiteral("-->代码读取失败")));
    EXPECT_EQ(tabs.currentIndex(), 4);

    EXPECT_EQ(w.readSaveCommands().recent(), QStringList({b, a}));
}
