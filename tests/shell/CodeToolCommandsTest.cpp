// "格式化", "eval解密" and "压缩" in the real window: results, log lines and failures that
// keep the editor's text.

#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/ScriptHost.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

#include "tools/DeobHistoryWindow.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include <condition_variable>
#include <mutex>

namespace {
// Presses "停止" as soon as the work is handed over. The script thread is held until
// then, so the work cannot get past its stop checks before the press.
class StopAtOnce : public ScriptWaiter {
public:
    StopAtOnce() {
        ScriptThread::instance().post([this] {
            std::unique_lock lock(m_mutex);
            m_cv.wait(lock, [this] { return m_pressed; });
        });
    }
    void wait(ScriptJob& job) override {
        ScriptThread::instance().requestStop();
        {
            std::lock_guard lock(m_mutex);
            m_pressed = true;
        }
        m_cv.notify_all();
        job.waitDone(-1);
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_pressed = false;
};

struct Workbench : WindowFixture {
    Workbench() { window.tabs().setCurrentIndex(3); }

    CodeEditor& editor() { return *window.tabs().editor(3); }
    QString lastLine() const { return window.outputLog().messages().last(); }
    qsizetype logSize() const { return window.outputLog().messages().size(); }
};
} // namespace

TEST(FormatButton, LaysOutWithCrLfAndKeepsTextOnFailure) {
    Workbench wb;
    wb.editor().SetText(QStringLiteral("function f(a){if(a){return '中文';}return 1}").toUtf8());
    wb.window.formatButton()->click();
    const QByteArray text = wb.editor().GetText();
    EXPECT_TRUE(text.contains("\r\n    if (a) {\r\n")) << text.constData();
    EXPECT_TRUE(text.contains(QStringLiteral("'中文'").toUtf8()));
    EXPECT_FALSE(text.contains("\n    \n"));
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码格式化成功\r\n"));
    // Formatting again changes nothing.
    wb.window.formatButton()->click();
    EXPECT_EQ(wb.editor().GetText(), text);

    // Stopped by the user: the text stays and the failure is reported.
    const QByteArray big = QByteArray("var x = [") + QByteArray("1,").repeated(400000) + "1];";
    wb.editor().SetText(big);
    StopAtOnce impatient;
    ScriptThread::instance().setWaiter(&impatient);
    wb.window.formatButton()->click();
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(wb.editor().GetText(), big);
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码格式化失败：脚本运行已被用户中止\r\n"));

    // Code the layout cannot handle is a failure too, not a success with the text unchanged.
    const QByteArray deep = QByteArray(100000, '{') + QByteArray(100000, '}');
    wb.editor().SetText(deep);
    wb.window.formatButton()->click();
    EXPECT_EQ(wb.editor().GetText(), deep);
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码格式化失败：代码嵌套过深，无法排版\r\n"));
}

TEST(MinifyButton, CompactsDropsOnlyAnEmptyFirstLineAndKeepsTextOnFailure) {
    Workbench wb;
    const qsizetype start = wb.logSize();
    wb.editor().SetText("// leading comment\r\nvar a = 1 + 2;\r\nvar b = a * 3;\r\n");
    wb.window.minifyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var a=1+2;var b=a*3;"));
    // Code that does not start with a line feed keeps its first line.
    wb.editor().SetText("'use strict';\r\nvar c = 1;");
    wb.window.minifyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("'use strict';var c=1;"));
    EXPECT_EQ(wb.logSize(), start); // nothing logged on success
    wb.editor().ClearAll();
    wb.window.minifyButton()->click();
    EXPECT_EQ(wb.editor().Length(), 0);

    wb.editor().SetText("var s = 'unterminated;\r\n");
    wb.window.minifyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var s = 'unterminated;\r\n"));
    // The tool's own words follow their Chinese description.
    EXPECT_TRUE(wb.lastLine().startsWith(
        QStringLiteral("-->代码压缩失败：字符串未闭合（Error: unterminated string literal: ")));
}

TEST(UnpackButton, UnpacksInTheMainEngineAndReportsFailures) {
    Workbench wb;
    // An empty editor: the line, and the unpacker is in the main engine all the same.
    wb.window.unpackButton()->click();
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->没有JS代码哦\r\n"));
    EXPECT_EQ(wb.globals.mainHost().Eval(QStringLiteral("typeof unpacker_filter")).toText(),
              QStringLiteral("function"));

    wb.editor().SetText("var%20a%3D1%3Bvar%20b%3Da+1%3B");
    wb.window.unpackButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var a = 1;\r\nvar b = a + 1;"));
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码解密成功 注：变量名称无法还原\r\n"));

    // A user script that broke the main engine's strings no longer matters: the script's
    // code is peeled in engines of the deobfuscator's own.
    wb.globals.mainHost().Eval(QStringLiteral("String.prototype.replace = null"));
    wb.editor().SetText("var%20a%3D1");
    wb.window.unpackButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var a = 1"));

    // Stopped by the user: the text stays and the failure is reported.
    const QByteArray endless = "var a=['x'];function d(i){for(;;){}return a[i];}d(0);";
    wb.editor().SetText(endless);
    StopAtOnce impatient;
    ScriptThread::instance().setWaiter(&impatient);
    wb.window.unpackButton()->click();
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(wb.editor().GetText(), endless);
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码解密失败：脚本运行已被用户中止\r\n"));
}

TEST(UnpackButton, OneLinePerPeeledLayerAndTheHistoryWindow) {
    Workbench wb;
    // Nothing to peel: today's single line.
    wb.editor().SetText("var a=1");
    qsizetype before = wb.logSize();
    wb.window.unpackButton()->click();
    EXPECT_EQ(wb.logSize(), before + 1);
    EXPECT_EQ(wb.lastLine(), QStringLiteral("-->代码解密成功 注：变量名称无法还原\r\n"));

    const QByteArray wrapped = "var s=['lo','g(1)'].join('');eval(s)";
    wb.editor().SetText(wrapped);
    before = wb.logSize();
    wb.window.unpackButton()->click();
    const QStringList lines = wb.window.outputLog().messages().mid(before);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0],
              QStringLiteral("-->已解除：eval/Function/document.write 包装（36 → 40 字节）\r\n"));
    EXPECT_EQ(lines[1], QStringLiteral("-->代码解密成功 注：变量名称无法还原\r\n"));
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var s = ['lo', 'g(1)'].join('');\r\nlog(1);"));

    // "工具(&T)" → "解密记录": the original and each stage; a stage goes into the editor.
    QAction* action = menuEntry(wb.window, "解密记录");
    ASSERT_NE(action, nullptr);
    action->trigger();
    auto* history = wb.window.findChild<DeobHistoryWindow*>();
    ASSERT_NE(history, nullptr);
    ASSERT_TRUE(history->isVisible());
    ASSERT_EQ(history->stageList()->count(), 2);
    EXPECT_TRUE(
        history->stageList()->item(0)->text().startsWith(QStringLiteral("原始代码（36 字节）")));
    EXPECT_TRUE(history->stageList()->item(1)->text().startsWith(
        QStringLiteral("已解除：eval/Function/document.write 包装（36 → 40 字节，")));
    EXPECT_EQ(history->stageList()->currentRow(), 1);
    EXPECT_EQ(QString::fromUtf8(history->codeView()->GetText()),
              QStringLiteral("var s = ['lo', 'g(1)'].join('');\nlog(1);"));
    // Shown as the editors show code (the C-family lexer, 3), and not editable.
    EXPECT_EQ(history->codeView()->SendScintilla(QsciScintillaBase::SCI_GETLEXER), 3);
    EXPECT_TRUE(history->codeView()->SendScintilla(QsciScintillaBase::SCI_GETREADONLY));
    // A stage goes in laid out; the original as it was.
    wb.editor().SetText("x");
    history->applyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var s = ['lo', 'g(1)'].join('');\r\nlog(1);"));
    history->stageList()->setCurrentRow(0);
    history->applyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), wrapped);

    // A skipped layer is listed with its reason and has no code to put anywhere.
    DeobResult run;
    run.ok = true;
    DeobStage stage;
    stage.layer = QStringLiteral("字符串数组");
    stage.note = QStringLiteral("超时，已跳过");
    run.history = {stage};
    history->setRun(QStringLiteral("x"), run);
    ASSERT_EQ(history->stageList()->count(), 2);
    EXPECT_EQ(history->stageList()->item(1)->text(),
              QStringLiteral("未能解除：字符串数组（超时，已跳过）"));
    EXPECT_EQ(history->stageList()->currentRow(), 1);
    EXPECT_FALSE(history->applyButton()->isEnabled());
    EXPECT_TRUE(QString::fromUtf8(history->codeView()->GetText()).isEmpty());

    // A bundle's modules follow the layers; one goes into the editor, laid out.
    run.modules = {{QStringLiteral("cart.js"), QStringLiteral("module.exports=1"), false},
                   {QStringLiteral("index.js"), QStringLiteral("require(\"./cart.js\");"), true}};
    history->setRun(QStringLiteral("x"), run);
    ASSERT_EQ(history->stageList()->count(), 4);
    EXPECT_EQ(history->stageList()->item(2)->text(), QStringLiteral("模块：cart.js"));
    EXPECT_EQ(history->stageList()->item(3)->text(), QStringLiteral("模块：index.js（入口）"));
    EXPECT_EQ(history->stageList()->currentRow(), 1);
    history->stageList()->setCurrentRow(2);
    EXPECT_EQ(QString::fromUtf8(history->codeView()->GetText()),
              QStringLiteral("module.exports=1"));
    history->applyButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("module.exports = 1"));
    history->close();
}

TEST(UnpackButton, HistoryListSaysWhenEmptyAndShowsItsEntriesWhole) {
    DeobHistoryWindow window;
    ASSERT_EQ(window.stageList()->count(), 1);
    EXPECT_EQ(window.stageList()->item(0)->text(), QStringLiteral("（还没有解密记录）"));
    EXPECT_FALSE(window.applyButton()->isEnabled());

    DeobResult run;
    run.ok = true;
    for (const char* layer : {"字符串数组", "代理函数与代理对象", "死代码（不透明谓词）"}) {
        DeobStage s;
        s.layer = QString::fromUtf8(layer);
        s.bytesBefore = 1234567;
        s.bytesAfter = 123456;
        s.ms = 1234;
        s.peeled = true;
        s.code = QStringLiteral("x");
        run.history << s;
    }
    window.setRun(QStringLiteral("x"), run);
    window.show();
    QApplication::processEvents();
    QListWidget* list = window.stageList();
    const int needed = list->sizeHintForColumn(0);
    EXPECT_GE(list->viewport()->width(), needed);
    // The code keeps at least half of the room.
    EXPECT_GE(window.codeView()->width(), list->width());
    window.resize(500, 400);
    QApplication::processEvents();
    EXPECT_GE(window.codeView()->width(), list->width());
}
