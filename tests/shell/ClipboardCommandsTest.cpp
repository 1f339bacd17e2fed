// "复制JS" and "生成E代码" in the real window: clipboard text and the confirmation boxes.

#include "../support/FakeDialogs.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "tools/ESnippet.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

namespace {
using Workbench = WindowFixture;
QString clipboardText() {
    return QGuiApplication::clipboard()->text();
}
} // namespace

TEST(CopyButton, CopiesTheCurrentScriptAsUnicode) {
    Workbench wb;
    ASSERT_TRUE(wb.window.copyButton()->isEnabled());
    wb.window.tabs().setCurrentIndex(2);
    wb.window.tabs().editor(2)->SetText(QStringLiteral("var s = '中文';\r\n").toUtf8());
    wb.window.copyButton()->click();
    EXPECT_EQ(clipboardText(), QStringLiteral("var s = '中文';\r\n"));
    EXPECT_EQ(wb.dialogs.messages, QStringList{QStringLiteral("代码复制|JS代码已经复制")});

    // An empty editor puts an empty text there and still says so.
    wb.window.tabs().editor(2)->ClearAll();
    wb.window.copyButton()->click();
    EXPECT_EQ(clipboardText(), QString());
    EXPECT_EQ(wb.dialogs.messages.size(), 2);
    EXPECT_EQ(wb.window.outputLog().messages().size(), 3); // nothing logged
}

TEST(SnippetButton, CopiesTheSnippetOfTheExpressionOnly) {
    Workbench wb;
    ASSERT_TRUE(wb.window.snippetButton()->isEnabled());
    wb.window.expressionEdit()->setText(QStringLiteral("OXOX(“a”,1,'b')"));
    const QByteArray script = wb.window.tabs().editor(0)->GetText();
    wb.window.snippetButton()->click();
    EXPECT_EQ(clipboardText(), MakeESnippet(QStringLiteral("OXOX(“a”,1,'b')")));
    EXPECT_FALSE(clipboardText().contains(QStringLiteral("MyObj"))); // the script is not part
    EXPECT_EQ(wb.window.tabs().editor(0)->GetText(), script);
    EXPECT_EQ(wb.dialogs.messages,
              QStringList{
                  QStringLiteral("代码复制|代码已经复制，请到易语言IDE直接粘贴，JS常量自行复制")});

    wb.window.expressionEdit()->clear();
    wb.window.snippetButton()->click();
    EXPECT_TRUE(clipboardText().contains(QStringLiteral("(“Eval”, “”)'")));
}
