// "打开", "导出" and "读取JS" in the real window, with real files and a real HTTP server on
// 127.0.0.1: what the editor holds, what the output pane says, what the address list keeps.

#include "../support/FakeDialogs.h"
#include "../support/TestHttpServer.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/HttpFetch.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "shell/ReadSaveCommands.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTimer>

namespace {
const QByteArray kKept = "var kept = 'untouched';";

struct Workbench : WindowFixture {
    Workbench() {
        window.tabs().setCurrentIndex(2);
        editor().SetText(kKept);
    }

    CodeEditor& editor() { return *window.tabs().editor(2); }
    ReadSaveCommands& commands() { return window.readSaveCommands(); }
    QString lastLine() const { return window.outputLog().messages().last(); }
    QStringList addresses() const {
        QStringList items;
        for (int i = 0; i < window.addressBox()->count(); ++i)
            items << window.addressBox()->itemText(i);
        return items;
    }
    // Types the address and presses "读取JS"; returns the output line it wrote.
    QString read(const QString& address) {
        window.addressBox()->setEditText(address);
        const qsizetype before = window.outputLog().messages().size();
        window.readScriptButton()->click();
        const QStringList& lines = window.outputLog().messages();
        return lines.size() == before + 1 ? lines.last() : QStringLiteral("<no single line>");
    }
};

QByteArray gbk(const QString& text) {
    QStringEncoder encoder("GBK");
    return encoder.encode(text);
}

QDialog* visibleBox(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QString::fromUtf8(name) && w->isVisible())
            return qobject_cast<QDialog*>(w);
    return nullptr;
}
} // namespace

TEST(ReadScriptButton, SuccessesFillTheEditorAndRememberTheAddressOnce) {
    TestHttpServer server;
    // A NUL inside: every byte after it arrives too.
    const QString chinese =
        QStringLiteral("var s = '你好';") + QChar(0) + QStringLiteral("\r\n// 注释");
    server.route("/utf8.js", TestResponse::text(chinese.toUtf8(), "application/javascript"));
    server.route("/gbk.js", TestResponse::text(gbk(chinese), "text/javascript; charset=gbk"));
    server.route("/meta.html",
                 TestResponse::text(gbk(QStringLiteral("<meta charset=\"gb2312\">") + chinese),
                                    "text/html"));
    server.route("/moved.js", TestResponse::redirect("/hop"));
    server.route("/hop", TestResponse::redirect(server.url("/utf8.js").toLatin1(), 301));
    server.route("/lie.js", TestResponse::text(gbk(chinese), "text/javascript; charset=utf-16"));
    Workbench wb;
    const QStringList start = wb.addresses();
    ASSERT_EQ(start.size(), 1);
    EXPECT_TRUE(wb.window.readScriptButton()->isEnabled());
    EXPECT_TRUE(wb.window.utf8DecodeBox()->isEnabled());

    const QByteArray plain = chinese.toUtf8();
    const QString bare = server.url("/utf8.js").mid(int(qstrlen("http://")));
    const struct {
        QString typed;
        QByteArray text;  // the editor's
        QString shown;    // the address box's, after the read
        qsizetype listed; // the addresses in the list
    } reads[] = {
        {server.url("/utf8.js"), plain, server.url("/utf8.js"), 2},
        // The same address again: listed once; the box keeps showing what was typed.
        {server.url("/utf8.js"), plain, server.url("/utf8.js"), 2},
        // Typed without "http://", the address gets it, in the box and in its list too.
        {bare, plain, server.url("/utf8.js"), 2},
        // GBK named by the server, or by the page itself, arrives as the same UTF-8.
        {server.url("/gbk.js"), plain, server.url("/gbk.js"), 3},
        {server.url("/meta.html"), (QStringLiteral("<meta charset=\"gb2312\">") + chinese).toUtf8(),
         server.url("/meta.html"), 4},
        // A UTF-16 label on 8-bit bytes is a lie: they are read as if it were not there.
        {server.url("/lie.js"), plain, server.url("/lie.js"), 5},
        // A redirect chain: the address as typed is remembered, appended after the others.
        {server.url("/moved.js"), plain, server.url("/moved.js"), 6},
    };
    for (const auto& r : reads) {
        SCOPED_TRACE(r.typed.toStdString());
        wb.editor().SetText(kKept);
        EXPECT_EQ(wb.read(r.typed), QStringLiteral("-->代码读取成功\r\n"));
        EXPECT_EQ(wb.editor().GetText(), r.text);
        EXPECT_EQ(wb.window.addressBox()->currentText(), r.shown);
        EXPECT_EQ(wb.addresses().size(), r.listed);
    }
    // The program's own name and the version its title shows, not the address.
    EXPECT_EQ(server.lastUserAgent(), "VexoJS/" + wb.window.versionText().toLatin1());
    const QStringList expected =
        start + QStringList{server.url("/utf8.js"), server.url("/gbk.js"), server.url("/meta.html"),
                            server.url("/lie.js"), server.url("/moved.js")};
    EXPECT_EQ(wb.addresses(), expected);
    // Letter case counts when comparing.
    wb.commands().RememberAddress(server.url("/UTF8.js"));
    EXPECT_EQ(wb.addresses().size(), 7);
    wb.commands().RememberAddress(start.first());
    EXPECT_EQ(wb.addresses().size(), 7);
}

TEST(ReadScriptButton, Utf8DecodeForcesUtf8) {
    TestHttpServer server;
    server.route("/utf8.js", TestResponse::text(QStringLiteral("'中文'").toUtf8()));
    server.route("/gbk.js",
                 TestResponse::text(gbk(QStringLiteral("'中文'")), "text/javascript; charset=gbk"));
    Workbench wb;
    wb.window.utf8DecodeBox()->setChecked(true);
    EXPECT_EQ(wb.read(server.url("/utf8.js")), QStringLiteral("-->代码读取成功\r\n"));
    EXPECT_EQ(wb.editor().GetText(), QStringLiteral("'中文'").toUtf8());
    // Ticked, the server's GBK is ignored: every bad sequence shows as U+FFFD.
    EXPECT_EQ(wb.read(server.url("/gbk.js")), QStringLiteral("-->代码读取成功\r\n"));
    const QString text = QString::fromUtf8(wb.editor().GetText());
    EXPECT_TRUE(text.startsWith(QLatin1Char('\'')) && text.endsWith(QLatin1Char('\'')));
    EXPECT_TRUE(text.contains(QChar(QChar::ReplacementCharacter)));
    EXPECT_FALSE(text.contains(QStringLiteral("中文")));
}

TEST(ReadScriptButton, FailuresKeepTheEditorAndTheList) {
    TestHttpServer server;
    TestResponse serverError = TestResponse::text("<h1>oops</h1>", "text/html");
    serverError.status = 500;
    server.route("/500", serverError);
    server.route("/loop", TestResponse::redirect("/loop"));
    TestResponse stall = TestResponse::text(QByteArray(100, 'a'));
    stall.stallAfter = 10;
    server.route("/stall", stall);
    server.route("/big", TestResponse::text(QByteArray(3000, 'b')));
    server.route("/empty", TestResponse::text({}));
    Workbench wb;
    wb.commands().reader().setStallTimeout(300);
    wb.commands().reader().setMaxBytes(2048);
    const QStringList start = wb.addresses();

    const struct {
        QString address;
        QString line;
    } cases[] = {
        {server.url("/missing.js"), QStringLiteral("-->代码读取失败：HTTP 404\r\n")},
        {server.url("/500"), QStringLiteral("-->代码读取失败：HTTP 500\r\n")},
        {server.url("/loop"), QStringLiteral("-->代码读取失败：重定向超过 10 次\r\n")},
        {server.url("/stall"), QStringLiteral("-->代码读取失败：读取超时：0.3 秒没有收到数据\r\n")},
        {server.url("/big"), QStringLiteral("-->代码读取失败：内容超过 2048 字节上限\r\n")},
        {server.url("/empty"), QStringLiteral("-->代码读取失败：内容为空\r\n")},
        {QStringLiteral("/etc/hostname"),
         QStringLiteral("-->代码读取失败：只能读取 http 或 https 地址\r\n")},
        {QStringLiteral("file:///etc/hostname"),
         QStringLiteral("-->代码读取失败：只能读取 http 或 https 地址\r\n")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(wb.read(c.address), c.line) << c.address.toStdString();
        EXPECT_EQ(wb.editor().GetText(), kKept) << c.address.toStdString();
        EXPECT_EQ(wb.addresses(), start) << c.address.toStdString();
    }
}

TEST(ReadScriptButton, SlowDownloadShowsProgressAndStops) {
    TestHttpServer server;
    TestResponse slow = TestResponse::text(QByteArray(200 * 1024, 'x'));
    slow.pieceBytes = 1024;
    slow.pieceDelayMs = 40;
    server.route("/slow.js", slow);
    Workbench wb;

    QString progressText;
    bool pressed = false;
    QTimer presser;
    QObject::connect(&presser, &QTimer::timeout, [&] {
        QDialog* box = visibleBox("正在读取");
        if (!box || pressed)
            return;
        auto* amount = box->findChild<QLabel*>(QStringLiteral("标签_进度"));
        ASSERT_TRUE(amount);
        if (!amount->text().startsWith(QStringLiteral("已读取")))
            return; // wait for the first piece
        progressText = amount->text();
        EXPECT_EQ(box->windowTitle(), QStringLiteral("正在读取…"));
        pressed = true;
        box->findChild<QPushButton*>(QStringLiteral("按钮_停止"))->click();
    });
    presser.start(50);
    EXPECT_EQ(wb.read(server.url("/slow.js")), QStringLiteral("-->代码读取失败：已停止\r\n"));
    presser.stop();
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(progressText.endsWith(QStringLiteral("，共 200.0 KB")))
        << progressText.toStdString();
    EXPECT_EQ(wb.editor().GetText(), kKept);
    EXPECT_EQ(wb.addresses().size(), 1);
    EXPECT_FALSE(visibleBox("正在读取"));

    // Closing the box stops the read as well.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QDialog* box = visibleBox("正在读取"))
            box->reject();
    });
    closer.start(50);
    EXPECT_EQ(wb.read(server.url("/slow.js")), QStringLiteral("-->代码读取失败：已停止\r\n"));
    closer.stop();
    EXPECT_EQ(wb.editor().GetText(), kKept);
}

TEST(OpenAndExport, SaveThenOpenIsByteExact) {
    QTemporaryDir dir;
    Workbench wb;
    EXPECT_TRUE(wb.window.openAction()->isEnabled());
    EXPECT_TRUE(wb.window.saveAction()->isEnabled());
    EXPECT_EQ(wb.window.openAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
    EXPECT_EQ(wb.window.saveAction()->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));

    const QByteArray script =
        QByteArray("var a = '\0';\r\n", 14) +
        QStringLiteral("function 你好() {\r\n  return '世界😀';\r\n}\n").toUtf8();
    wb.editor().SetText(script);
    const QString path = dir.filePath(QStringLiteral("脚本.js"));
    wb.dialogs.fileToSave = path;
    wb.window.saveAction()->trigger();
    EXPECT_EQ(wb.dialogs.messages, QStringList{QStringLiteral("信息：|保存成功")});
    EXPECT_EQ(wb.dialogs.filters.last(),
              QStringLiteral("文本文件(*txt;*.js;*.html)|*txt;*.js;*.html|所有文件(*.*)|*.*"));
    EXPECT_EQ(wb.dialogs.suffixes.last(), QStringLiteral(".txt"));
    EXPECT_EQ(wb.dialogs.initialNames.last(), QString());
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll(), script); // UTF-8 without a byte-order mark, NUL kept

    // Into another editor: the same bytes; the dialog offers the last file.
    wb.window.tabs().setCurrentIndex(4);
    wb.dialogs.fileToOpen = path;
    wb.window.openAction()->trigger();
    EXPECT_EQ(wb.window.tabs().editor(4)->GetText(), script);
    EXPECT_EQ(wb.dialogs.initialNames.last(), path);
    EXPECT_EQ(wb.editor().GetText(), script);
    EXPECT_EQ(wb.dialogs.messages.size(), 1);
    EXPECT_EQ(wb.window.outputLog().messages().size(), 3); // nothing logged

    // A GBK file with a byte-order-free Chinese comment is read as GBK.
    QFile gbkFile(dir.filePath(QStringLiteral("gbk.js")));
    ASSERT_TRUE(gbkFile.open(QIODevice::WriteOnly));
    gbkFile.write(gbk(QStringLiteral("// 中文注释\r\nvar x;")));
    gbkFile.close();
    wb.dialogs.fileToOpen = gbkFile.fileName();
    wb.window.openAction()->trigger();
    EXPECT_EQ(wb.window.tabs().editor(4)->GetText(),
              QStringLiteral("// 中文注释\r\nvar x;").toUtf8());
    // Saving offers the file opened last.
    wb.dialogs.fileToSave.clear();
    wb.window.saveAction()->trigger();
    EXPECT_EQ(wb.dialogs.initialNames.last(), gbkFile.fileName());
}

TEST(OpenAndExport, FailuresSayWhyAndLoseNothing) {
    QTemporaryDir dir;
    Workbench wb;
    // Cancelled dialogs do nothing.
    wb.window.openAction()->trigger();
    wb.window.saveAction()->trigger();
    EXPECT_TRUE(wb.dialogs.messages.isEmpty());
    EXPECT_EQ(wb.editor().GetText(), kKept);

    wb.dialogs.fileToOpen = dir.filePath(QStringLiteral("missing.js"));
    wb.window.openAction()->trigger();
    EXPECT_EQ(wb.editor().GetText(), kKept);
    EXPECT_EQ(wb.dialogs.messages.last(), QStringLiteral("信息：|无法读取文件：文件不存在"));
    wb.dialogs.fileToOpen = dir.path();
    wb.window.openAction()->trigger();
    EXPECT_EQ(wb.editor().GetText(), kKept);
    EXPECT_EQ(wb.dialogs.messages.last(), QStringLiteral("信息：|无法读取文件：这是一个文件夹"));

    // A folder that cannot take the file: the message, and no file appears.
    const QString nowhere = dir.filePath(QStringLiteral("no-such-folder/a.js"));
    wb.dialogs.fileToSave = nowhere;
    wb.window.saveAction()->trigger();
    EXPECT_EQ(wb.dialogs.messages.last(), QStringLiteral("信息：|保存失败：文件夹不存在"));
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
              QStringList());
    // Somewhere no one can create files, not even root.
    wb.dialogs.fileToSave = QStringLiteral("/proc/vexojs-save-test.js");
    wb.window.saveAction()->trigger();
    EXPECT_TRUE(wb.dialogs.messages.last().startsWith(QStringLiteral("信息：|保存失败：")));
    EXPECT_FALSE(QFile::exists(wb.dialogs.fileToSave));
    EXPECT_EQ(wb.editor().GetText(), kKept);
}
