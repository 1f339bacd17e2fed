// "格式化", "eval解密" and "压缩" in the real window: results, log lines and failures that
// keep the editor's text.

#include "../support/FakeDialogs.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "script/GlobalObjects.h"
#include "script/ScriptHost.h"
#include "script/ScriptThread.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

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

struct Workbench {
    GlobalObjects globals;
    FakeDialogs dialogs;
    MainWindow window{globals, dialogs};
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
    EXPECT_TRUE(wb.lastLine().startsWith(
        QStringLiteral("-->代码压缩失败：Error: unterminated string literal: ")));
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

    // A user script that broke the engine's strings: the text stays, the error is shown.
    wb.globals.mainHost().Eval(QStringLiteral("String.prototype.replace = null"));
    wb.editor().SetText("var%20a%3D1");
    wb.window.unpackButton()->click();
    EXPECT_EQ(wb.editor().GetText(), QByteArray("var%20a%3D1"));
    EXPECT_TRUE(wb.lastLine().startsWith(QStringLiteral("-->代码解密失败：")));
}
