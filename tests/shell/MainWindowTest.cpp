// The main window as start-up leaves it, the current editor and "清空".

#include "../support/Controls.h"
#include "../support/FakeDialogs.h"
#include "../support/SameText.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "script/DemoScript.h"
#include "script/GlobalObjects.h"
#include "script/TextCodec.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>

#include <memory>

namespace {
struct Workbench : WindowFixture {
    Workbench() { window.show(); }
};

// A point on pane line `block`, scrolled into view, as a right click there gives it.
QPoint pointOnLine(OutputLog& log, int block) {
    QTextCursor at(log.document()->findBlockByNumber(block));
    log.setTextCursor(at);
    log.ensureCursorVisible();
    return log.cursorRect(at).center();
}

// Triggers the entry `caption` of the pane's context menu at `pos`; false when the
// entry is missing or disabled.
bool chooseFromMenu(OutputLog& log, const QPoint& pos, const QString& caption) {
    std::unique_ptr<QMenu> menu(log.contextMenuAt(pos));
    for (QAction* a : menu->actions())
        if (a->text() == caption && a->isEnabled()) {
            a->trigger();
            return true;
        }
    return false;
}
} // namespace

TEST(StartUp, WindowLogAddressAndDemoScript) {
    Workbench wb;
    MainWindow& w = wb.window;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("VexoJS调试工具1.9"));
    EXPECT_EQ(w.outputLog().messages(),
              QStringList({QStringLiteral(
                               "-->VexoJS调试工具启动成功,作者：Marlo，QQ1029384756,版本1.9\r\n"),
                           QStringLiteral("-->帮助：快捷键Alt+Q最小化至托盘/显示\r\n"),
                           QStringLiteral("-->欢迎使用\r\n")}));
    auto* address = control<QComboBox>(w, "组合框_addr");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->count(), 1);
    EXPECT_TRUE(address->currentText().endsWith(QStringLiteral("/sha1.js")));
    EXPECT_EQ(address->itemData(0).toInt(), 0);

    // The demo text arrives as the UTF-8 of its Chinese comments.
    const QByteArray text = w.tabs().editor(0)->GetText();
    EXPECT_EQ(text, decodeBytes(demoScriptGbk(), "GBK").value().toUtf8());
    EXPECT_EQ(text.size(), 458); // 30 Chinese characters: 2 bytes each in GBK, 3 in UTF-8
    EXPECT_TRUE(text.contains(QStringLiteral("//调用自定义对象").toUtf8()));
    EXPECT_TRUE(text.endsWith(QStringLiteral("}//JS自定义对象掩演示").toUtf8()));
    EXPECT_TRUE(text.startsWith("function MyObj(men1,men2,men3)\r\n{\r\n"));

    for (int i = 0; i < EditorTabs::kEditorCount; ++i)
        EXPECT_EQ(w.tabs().editor(i)->isVisible(), i == 0) << i;
    EXPECT_EQ(wb.globals.codeLoaded, 0);
    EXPECT_EQ(wb.globals.trayIcon().tip, QStringLiteral("VexoJS调试工具1.9"));
}

TEST(StartUp, ControlsStandWhereTheLayoutPutsThem) {
    Workbench wb;
    MainWindow& w = wb.window;
    w.resize(MainWindow::kClientWidth, MainWindow::kClientHeight + w.menuBar()->height());
    QCoreApplication::processEvents();
    const struct {
        const char* name;
        QRect rect;
        const char* caption;
    } expected[] = {
        {"按钮_add", {8, 383, 56, 24}, "加载代码"},
        {"按钮_search", {410, 383, 69, 24}, "查找"},
        {"按钮_pack", {480, 383, 69, 24}, "压缩"},
        {"按钮_cla", {548, 383, 69, 24}, "清空"},
        {"按钮_unpack", {618, 383, 69, 24}, "eval解密"},
        {"按钮_copy", {688, 383, 69, 24}, "复制JS"},
        {"按钮_format", {757, 383, 69, 24}, "格式化"},
        {"按钮_run", {682, 445, 72, 24}, "计算表达式"},
        {"按钮_go", {754, 445, 72, 24}, "生成E代码"},
        {"按钮_读取JS", {744, 0, 80, 24}, "读取JS"},
    };
    for (const auto& e : expected) {
        auto* b = control<QPushButton>(w, e.name);
        ASSERT_TRUE(b) << e.name;
        EXPECT_EQ(b->geometry(), e.rect) << e.name;
        EXPECT_EQ(b->text(), QString::fromUtf8(e.caption));
    }
    EXPECT_EQ(control(w, "编辑框_output")->geometry(), QRect(8, 477, 817, 144));
    EXPECT_EQ(control(w, "高级选择夹1")->geometry(), QRect(0, 29, 850, 344));
    EXPECT_EQ(control(w, "组合框_addr")->geometry(), QRect(30, 0, 626, 28));
    auto* mode = control<QComboBox>(w, "组合框_more");
    EXPECT_EQ(mode->count(), 3);
    EXPECT_EQ(mode->currentText(), QStringLiteral("区分大小写"));
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(w.tabs().tabText(i), QStringLiteral("New%1  ").arg(i));

    // A bigger window gives the room to the editors and the output pane.
    w.resize(w.width() + 200, w.height() + 100);
    QCoreApplication::processEvents();
    EXPECT_EQ(control(w, "高级选择夹1")->geometry(), QRect(0, 29, 1050, 404));
    EXPECT_EQ(control(w, "编辑框_output")->geometry(), QRect(8, 537, 1017, 184));
    EXPECT_EQ(control(w, "按钮_run")->geometry(), QRect(882, 505, 72, 24));

    QStringList menus;
    for (QAction* a : w.menuBar()->actions())
        menus << a->text();
    EXPECT_EQ(menus, QStringList({"文件(&F)", "编辑(&E)", "关于(&A)", "工具(&T)"}));
    EXPECT_EQ(w.trayMenu()->actions().size(), 2);

    // Code finds menus and entries by object name: every one has its own, and the lookup
    // gives back that very entry.
    QStringList names;
    QList<QMenu*> pending{w.trayMenu()};
    for (QAction* top : w.menuBar()->actions())
        pending << top->menu();
    while (!pending.isEmpty()) {
        QMenu* menu = pending.takeFirst();
        EXPECT_EQ(w.menuNamed(menu->objectName()), menu) << menu->title().toStdString();
        for (QAction* a : menu->actions()) {
            if (a->isSeparator())
                continue;
            if (a->menu()) {
                pending << a->menu();
                continue;
            }
            SCOPED_TRACE(a->text().toStdString());
            EXPECT_TRUE(a->objectName().startsWith(QStringLiteral("菜单_")));
            EXPECT_FALSE(names.contains(a->objectName()));
            EXPECT_EQ(w.actionNamed(a->objectName()), a);
            names << a->objectName();
        }
    }
}

TEST(StartUp, ALargerWindowKeepsEveryRowFlushRight) {
    Workbench wb;
    MainWindow& w = wb.window;
    w.resize(1200, 900);
    QCoreApplication::processEvents();
    const int right = control(w, "编辑框_output")->geometry().right();
    const int dx = 1200 - MainWindow::kClientWidth;
    // Each row's last control ends under the others' (the output pane is one pixel short
    // of the rows above it, as at the base size).
    for (const char* name : {"按钮_format", "标签_Fun", "按钮_go", "按钮_读取JS"})
        EXPECT_NEAR(control(w, name)->geometry().right(), right + 1, 2) << name;
    // The buttons at the right keep their widths and their order; the search box before
    // them takes the room.
    const char* row[] = {"组合框_more", "按钮_search", "按钮_pack",  "按钮_cla",
                         "按钮_unpack", "按钮_copy",   "按钮_format"};
    const int baseLeft[] = {296, 410, 480, 548, 618, 688, 757};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(control(w, row[i])->geometry().left(), baseLeft[i] + dx) << row[i];
    EXPECT_EQ(control(w, "按钮_pack")->width(), 69);
    // "浏览器环境" stays beside "加载代码"; the search box follows it.
    EXPECT_EQ(control(w, "选择框_浏览器环境")->geometry().left(), 69);
    EXPECT_EQ(control(w, "编辑框_搜索内容")->geometry().left(), 157);
    EXPECT_EQ(control(w, "编辑框_搜索内容")->width(), 131 + dx);
    EXPECT_EQ(control(w, "按钮_add")->geometry().left(), 8);
    // All of the row stays on one line, below the editors.
    const int top = control(w, "按钮_add")->geometry().top();
    for (const char* name : row)
        EXPECT_NEAR(control(w, name)->geometry().top(), top, 2) << name;

    // Back at the base size everything stands where it started.
    w.resize(MainWindow::kClientWidth, MainWindow::kClientHeight + w.menuBar()->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(control(w, "编辑框_搜索内容")->geometry(), QRect(157, 385, 131, 21));
    EXPECT_EQ(control(w, "组合框_more")->geometry(), QRect(296, 383, 104, 20));
    EXPECT_EQ(control(w, "按钮_format")->geometry(), QRect(757, 383, 69, 24));
}

TEST(OutputLog, EveryMessageTakesOneLine) {
    Workbench wb;
    OutputLog& log = wb.window.outputLog();
    const int before = log.document()->blockCount();
    log.append(QStringLiteral("-->代码压缩失败：Error: unterminated string literal: \n\r\n"));
    log.append(QStringLiteral("-->计算结果：a") + QChar(0) + QStringLiteral("b\r\n"));
    log.append(QStringLiteral("-->计算结果：x\ry") + QChar(0x2029) + QStringLiteral("z\r\n"));
    EXPECT_EQ(log.document()->blockCount(), before + 3);
    const QStringList lines = log.toPlainText().split(QLatin1Char('\n'));
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[lines.size() - 4],
              QStringLiteral("-->代码压缩失败：Error: unterminated string literal: \\n"));
    EXPECT_EQ(lines[lines.size() - 3], QStringLiteral("-->计算结果：a\\0b"));
    EXPECT_EQ(lines[lines.size() - 2], QStringLiteral("-->计算结果：x\\ry\\u2029z"));
    EXPECT_FALSE(log.toPlainText().contains(QChar(0)));
    // The messages themselves are kept as they were given.
    EXPECT_EQ(log.messages().last(),
              QStringLiteral("-->计算结果：x\ry") + QChar(0x2029) + QStringLiteral("z\r\n"));
}

TEST(OutputLog, LongLinesAreCutAndTheirWholeTextStaysReachable) {
    const QString x4000 = QString(4000, QLatin1Char('x'));
    const QString big = QStringLiteral("-->计算结果：") + QString(1 << 20, QLatin1Char('y'));
    const QString withBreaks = QStringLiteral("a\nb") + QString(5000, QLatin1Char('z'));
    const struct {
        QStringList messages; // appended in turn; together they make one line of the pane
        QString line;         // what the pane shows
    } cases[] = {
        {{x4000 + QStringLiteral("\r\n")}, x4000},
        {{x4000 + QStringLiteral("x\r\n")}, x4000 + QStringLiteral("…（共 4001 字符）")},
        {{big + QStringLiteral("\r\n")}, big.left(4000) + QStringLiteral("…（共 1048584 字符）")},
        // Escapes are made after the cut; the whole text keeps the real line break.
        {{withBreaks + QStringLiteral("\r\n")},
         QStringLiteral("a\\nb") + QString(3997, QLatin1Char('z')) +
             QStringLiteral("…（共 5003 字符）")},
        // Two messages on one line: the whole line is both.
        {{QStringLiteral("-->前半"), QStringLiteral("后半\r\n")}, QStringLiteral("-->前半后半")},
    };
    Workbench wb;
    OutputLog& log = wb.window.outputLog();
    QClipboard* clipboard = QGuiApplication::clipboard();
    for (const auto& c : cases) {
        const int block = log.document()->blockCount() - 1;
        for (const QString& m : c.messages)
            log.append(m);
        EXPECT_TRUE(sameText(log.document()->findBlockByNumber(block).text(), c.line));
        QString whole = c.messages.join(QString());
        whole.chop(2);
        EXPECT_TRUE(sameText(log.messages().last(), c.messages.last())); // kept as given
        clipboard->clear();
        EXPECT_TRUE(chooseFromMenu(log, pointOnLine(log, block), QStringLiteral("复制完整结果")));
        EXPECT_TRUE(sameText(clipboard->text(), whole));
    }
    // Below the last line: the last line's text.
    QPoint below(5, log.viewport()->height() - 2);
    log.moveCursor(QTextCursor::End);
    log.ensureCursorVisible();
    EXPECT_EQ(log.wholeLineAt(below), QStringLiteral("-->前半后半"));

    // "在新编辑框中打开": the first empty editor takes it and is selected.
    MainWindow& w = wb.window;
    const int bigLine = 3 + 2; // after the start-up lines and the first two cases
    ASSERT_TRUE(chooseFromMenu(log, pointOnLine(log, bigLine), QStringLiteral("在新编辑框中打开")));
    EXPECT_EQ(w.tabs().currentIndex(), 1);
    EXPECT_EQ(w.tabs().editor(1)->GetText(), big.toUtf8());
    // With none empty, no editor changes and the pane says why.
    for (int i = 2; i < EditorTabs::kEditorCount; ++i)
        w.tabs().editor(i)->SetText("kept");
    const qsizetype before = log.messages().size();
    ASSERT_TRUE(chooseFromMenu(log, pointOnLine(log, 0), QStringLiteral("在新编辑框中打开")));
    EXPECT_EQ(w.tabs().editor(1)->GetText(), big.toUtf8());
    for (int i = 2; i < EditorTabs::kEditorCount; ++i)
        EXPECT_EQ(w.tabs().editor(i)->GetText(), QByteArray("kept"));
    ASSERT_EQ(log.messages().size(), before + 1);
    EXPECT_TRUE(log.messages().last().startsWith(QStringLiteral("-->没有空的编辑框")));

    // A line typed into the pane has no message behind it: the entries are disabled.
    log.moveCursor(QTextCursor::End);
    log.insertPlainText(QStringLiteral("typed by hand"));
    const int typed = log.document()->blockCount() - 1;
    EXPECT_FALSE(chooseFromMenu(log, pointOnLine(log, typed), QStringLiteral("复制完整结果")));
}

// The current editor follows the selected page, and "清空" empties that one alone.
TEST(CurrentEditor, FollowsTheSelectedPageAndIsTheOneClearEmpties) {
    Workbench wb;
    MainWindow& w = wb.window;
    for (int i = 1; i < 6; ++i)
        w.tabs().editor(i)->SetText(QByteArray("text ") + QByteArray::number(i));
    w.tabs().setCurrentIndex(2);
    EXPECT_EQ(w.CurrentEditor(), w.tabs().editor(2));
    EXPECT_TRUE(w.tabs().editor(2)->isVisible());
    EXPECT_FALSE(w.tabs().editor(0)->isVisible());
    for (int page : {-1, 0, 6, 99})
        EXPECT_EQ(w.tabs().editorForPage(page), w.tabs().editor(0)) << page;
    // A page-changed event outside 0..5 leaves every editor as it was.
    w.tabs().ShowEditor(7);
    EXPECT_TRUE(w.tabs().editor(2)->isVisible());

    control<QPushButton>(w, "按钮_cla")->click();
    EXPECT_EQ(w.tabs().editor(2)->Length(), 0);
    EXPECT_GT(w.tabs().editor(0)->Length(), 400);
    for (int i : {1, 3, 4, 5})
        EXPECT_EQ(w.tabs().editor(i)->GetText(), QByteArray("text ") + QByteArray::number(i));
    EXPECT_EQ(w.outputLog().messages().size(), 3); // nothing logged
}
