// "加载代码", "计算表达式" and the function list in the real window.

#include "../support/FakeDialogs.h"
#include "../support/SameText.h"
#include "../support/WindowFixture.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "editor/FunctionList.h"
#include "script/ConsoleValuesWindow.h"
#include "script/GlobalObjects.h"
#include "script/ValueTreeModel.h"
#include "script/ValueTreeView.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "shell/ScriptCommands.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>

namespace {
struct Workbench : WindowFixture {
    CodeEditor& editor(int i = 0) { return *window.tabs().editor(i); }
    QStringList newLines(qsizetype from) const { return window.outputLog().messages().mid(from); }
    qsizetype logSize() const { return window.outputLog().messages().size(); }
    void load() { window.loadButton()->click(); }
    void evaluate(const QString& expression) {
        window.expressionEdit()->setText(expression);
        window.evaluateButton()->click();
    }
    void choose(const QString& name) {
        QComboBox* list = window.functionList();
        list->setCurrentIndex(list->findText(name));
        window.scriptCommands().functionList().GoToFunction();
    }
    QByteArray selection() {
        CodeEditor& e = editor(window.tabs().currentIndex() < 0 ? 0 : window.tabs().currentIndex());
        const int a = int(e.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART));
        const int b = int(e.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND));
        return e.GetTextRange(a, b);
    }
};

} // namespace

TEST(LoadButton, FillsTheFunctionListOrSelectsTheErrorLine) {
    Workbench wb;
    const qsizetype start = wb.logSize();
    wb.load();
    EXPECT_EQ(wb.newLines(start), QStringList{QStringLiteral("-->代码加载成功\r\n")});
    QComboBox* list = wb.window.functionList();
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->itemText(0), QStringLiteral("MyObj"));
    EXPECT_EQ(list->itemText(3), QStringLiteral("OXOX"));
    EXPECT_EQ(list->itemData(3).toInt(), 4);
    EXPECT_EQ(list->currentIndex(), 0);
    EXPECT_TRUE(wb.window.expressionEdit()->text().isEmpty()); // the refill chooses nothing

    // An error on line 1 selects the first line, one on line 3 the third.
    wb.window.tabs().setCurrentIndex(1);
    wb.editor(1).SetText("var = 1;\r\nvar ok = 2;");
    wb.load();
    EXPECT_EQ(wb.selection(), QByteArray("var = 1;"));
    EXPECT_EQ(wb.globals.codeLoaded, 1);
    wb.editor(1).SetText("var a = 1;\r\nvar b = 2;\r\nvar c = );\r\nvar d = 4;");
    wb.load();
    EXPECT_EQ(wb.selection(), QByteArray("var c = );"));
    EXPECT_EQ(list->count(), 4); // the list keeps the last good load
    EXPECT_EQ(wb.globals.codeLoaded, 1);

    // A script without functions empties the list and leaves the procedures as they were.
    wb.editor(1).SetText("var plain = 1;");
    wb.load();
    EXPECT_EQ(list->count(), 0);
    EXPECT_EQ(wb.globals.procedures().count(), 4);

    // An empty editor: the failure line.
    wb.editor(1).ClearAll();
    const qsizetype before = wb.logSize();
    wb.load();
    EXPECT_EQ(wb.newLines(before),
              QStringList{QStringLiteral("-->代码加载失败，请检查代码内容\r\n")});
    EXPECT_EQ(wb.globals.codeLoaded, 1); // unchanged by an empty editor
}

TEST(FunctionList, ChoosingAFunctionWritesItsCallAndSelectsItsDefinition) {
    Workbench wb;
    wb.load();
    wb.choose(QStringLiteral("OXOX"));
    EXPECT_EQ(wb.window.expressionEdit()->text(), QStringLiteral("OXOX()"));
    EXPECT_EQ(wb.window.signatureLabel()->text(),
              QStringLiteral("     function OXOX(value1,value2,value3)"));
    EXPECT_EQ(wb.selection(), QByteArray("function OXOX"));
    wb.choose(QStringLiteral("fuckall"));
    EXPECT_EQ(wb.window.signatureLabel()->text(), QStringLiteral("     function fuckall()"));
    EXPECT_EQ(wb.selection(), QByteArray("function fuckall"));

    // Whole words: foo is not found inside the earlier foobar; the first of two wins;
    // a name in Chinese is found in the UTF-8 text.
    wb.editor(0).SetText(QStringLiteral("function foobar() {}\r\nfunction foo(a) {}\r\n"
                                        "function foo(a, b) {}\r\nfunction 计算(甲) {}")
                             .toUtf8());
    wb.load();
    wb.choose(QStringLiteral("foo"));
    EXPECT_EQ(wb.editor(0).CaretPosition(), 22 + 12);
    EXPECT_EQ(wb.selection(), QByteArray("function foo"));
    wb.choose(QStringLiteral("计算"));
    EXPECT_EQ(wb.selection(), QStringLiteral("function 计算").toUtf8());
    EXPECT_EQ(wb.window.signatureLabel()->text(), QStringLiteral("     function 计算(value1)"));

    // A definition that is not "function name" sends the caret to the start.
    wb.editor(0).SetText("var assigned = function () {};");
    wb.load();
    wb.choose(QStringLiteral("assigned"));
    EXPECT_EQ(wb.editor(0).CaretPosition(), 0);
    EXPECT_TRUE(wb.selection().isEmpty());
}

// let, const and class bindings are found where the loaded text defines them (not at an
// earlier mention); once the text has changed, at the first "const name" or "class name".
TEST(FunctionList, ModernDefinitionsAreSelectedWhereWritten) {
    Workbench wb;
    wb.editor(0).SetText(
        QStringLiteral("// 先用 sign 和 Point\r\nconst abs = (v) => v < 0 ? -v : v, "
                       "sign = (v, ...rest) => v;\r\nclass Point { constructor(x) {} }")
            .toUtf8());
    wb.load();
    QComboBox* list = wb.window.functionList();
    ASSERT_EQ(list->count(), 3);
    const struct {
        const char* name;
        const char* tip;
        const char* before; // the text before the selection
    } cases[] = {
        {"abs", "abs(v)", "// 先用 sign 和 Point\r\nconst "},
        {"sign", "sign(v, ...rest)",
         "// 先用 sign 和 Point\r\nconst abs = (v) => v < 0 ? -v : v, "},
        {"Point", "Point(x)",
         "// 先用 sign 和 Point\r\nconst abs = (v) => v < 0 ? -v : v, sign = "
         "(v, ...rest) => v;\r\nclass "},
    };
    for (const auto& c : cases) {
        const int i = list->findText(QString::fromUtf8(c.name));
        EXPECT_EQ(list->itemData(i, Qt::ToolTipRole).toString(), QString::fromUtf8(c.tip));
        wb.choose(QString::fromUtf8(c.name));
        EXPECT_EQ(wb.selection(), QByteArray(c.name));
        EXPECT_EQ(wb.editor(0).CaretPosition(), int(qstrlen(c.before) + qstrlen(c.name))) << c.name;
        EXPECT_EQ(wb.window.signatureLabel()->text().left(14), QStringLiteral("     function "));
    }
    wb.editor(0).SetSelection(0, 0);
    wb.editor(0).InsertText("/* 新的一行 */\r\n");
    wb.choose(QStringLiteral("Point"));
    EXPECT_EQ(wb.selection(), QByteArray("class Point"));
    wb.choose(QStringLiteral("sign"));
    EXPECT_TRUE(wb.selection().isEmpty()); // no "const sign" written
}

TEST(EvaluateButton, ReportsAndOpensTheInspectorOnOk) {
    Workbench wb;
    wb.load();
    qsizetype start = wb.logSize();
    wb.evaluate(QStringLiteral("OXOX(\"a\",1,\"b\")"));
    EXPECT_EQ(wb.newLines(start), QStringList({QStringLiteral("-->返回类型：文本型\r\n"),
                                               QStringLiteral("-->计算结果：a1b\r\n")}));
    // Enter in the expression box evaluates too.
    start = wb.logSize();
    wb.window.expressionEdit()->setText(QStringLiteral("6*7"));
    emit wb.window.expressionEdit()->returnPressed();
    EXPECT_EQ(wb.newLines(start), QStringList({QStringLiteral("-->返回类型：数值型\r\n"),
                                               QStringLiteral("-->计算结果：42\r\n")}));
    // An error in the expression is not the script's: nothing in the editor is selected
    // and the caret stays.
    wb.editor(0).SetSelection(5, 5);
    wb.evaluate(QStringLiteral("OXOX(1,2,3).x.y"));
    EXPECT_TRUE(wb.selection().isEmpty());
    EXPECT_EQ(wb.editor(0).CaretPosition(), 5);

    // Cancel: nothing opens.
    start = wb.logSize();
    wb.evaluate(QStringLiteral("OX(1,2,3)"));
    EXPECT_EQ(wb.newLines(start), QStringList{QStringLiteral("-->返回类型：对象型\r\n")});
    ASSERT_EQ(wb.dialogs.questions.size(), 1);
    EXPECT_EQ(
        wb.dialogs.questions[0],
        QStringLiteral("对象|计算结果返回值为对象，是否查看对象属性和方法（JS数组也是对象）"));
    EXPECT_EQ(wb.dialogs.modalRuns, 0);

    // OK: the inspector opens with both listings filled.
    wb.dialogs.answer = Dialogs::Answer::Ok;
    QStringList items;
    QString members;
    wb.dialogs.onModal = [&](QDialog& dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("对象查看器DEMO"));
        auto* list = dialog.findChild<QListWidget*>(QStringLiteral("列表框1"));
        auto* edit = dialog.findChild<QPlainTextEdit*>(QStringLiteral("编辑框1"));
        ASSERT_TRUE(list && edit);
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        members = edit->toPlainText();
    };
    wb.evaluate(QStringLiteral("OX(1,2,3)"));
    EXPECT_EQ(wb.dialogs.modalRuns, 1);
    EXPECT_EQ(items, QStringList{QStringLiteral("数组长度(length)--->0")});
    EXPECT_TRUE(members.startsWith(QStringLiteral("对象类型名称:MyObj")));
    EXPECT_TRUE(members.contains(QStringLiteral("属性:men1")));
}

TEST(EvaluateButton, LongExpressionsArriveWholeAndHugeResultsAreShownCut) {
    QString sum = QStringLiteral("1");
    for (int i = 0; i < 20000; ++i)
        sum += QStringLiteral("+1");
    const QString xs(1 << 20, QLatin1Char('x'));
    const struct {
        QString expression; // pasted into the expression box
        QString message;    // the result line as the pane's caller gets it
        QString shown;      // the line the pane lays out
    } cases[] = {
        {sum, QStringLiteral("-->计算结果：20001\r\n"), QStringLiteral("-->计算结果：20001")},
        {QStringLiteral("'x'.repeat(2**20)"), QStringLiteral("-->计算结果：") + xs + "\r\n",
         QStringLiteral("-->计算结果：") + xs.left(4000 - 8) +
             QStringLiteral("…（共 1048584 字符）")},
    };
    ASSERT_EQ(sum.size(), 40001);
    Workbench wb;
    wb.window.show();
    wb.load();
    QLineEdit* box = wb.window.expressionEdit();
    for (const auto& c : cases) {
        QGuiApplication::clipboard()->setText(c.expression);
        box->clear();
        box->paste();
        EXPECT_EQ(box->text().size(), c.expression.size());
        wb.window.evaluateButton()->click();
        const OutputLog& log = wb.window.outputLog();
        EXPECT_TRUE(sameText(log.messages().last(), c.message));
        EXPECT_TRUE(sameText(log.document()->lastBlock().previous().text(), c.shown));
    }
}

TEST(ErrorPlaces, TheScriptsLineIsMarkedAndTheCaretStandsAtTheColumn) {
    const struct {
        const char* script;
        const char* expression; // nullptr: the error comes from loading
        const char* atCaret;    // the text the caret stands before
        const char* line;       // the marked line
    } cases[] = {
        {"var a = 1;\r\nvar s = \"中文\"; s.x.y;", nullptr, ".y;", "var s = \"中文\"; s.x.y;"},
        {"var ok = 1;\r\nfunction f() {\r\n  return missing + 1;\r\n}", "f()", " + 1;",
         "  return missing + 1;"},
        {"var b = [1];\r\nb.push(;\r\nvar c = 1;", nullptr, "", "b.push(;"}, // syntax: no column
    };
    Workbench wb;
    CodeEditor& e = wb.editor(2);
    wb.window.tabs().setCurrentIndex(2);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.script);
        e.SetText(c.script);
        wb.load();
        if (c.expression)
            wb.evaluate(QString::fromUtf8(c.expression));
        const int caret = e.CaretPosition();
        const int lineEnd = e.LineEndPosition(e.LineFromPosition(caret));
        if (*c.atCaret) {
            EXPECT_EQ(e.GetTextRange(caret, lineEnd), QByteArray(c.atCaret));
        }
        // The line is selected: beside the caret, or as the selection itself.
        const long n = e.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONS);
        const long main = e.SendScintilla(QsciScintillaBase::SCI_GETMAINSELECTION);
        const unsigned long which = n > 1 && main == 0 ? 1 : 0;
        const int start = int(e.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNSTART, which));
        const int end = int(e.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONNEND, which));
        EXPECT_EQ(e.GetTextRange(start, end), QByteArray(c.line));
    }
}

TEST(ConsoleDir, TheRunsObjectsComeUpAsTreesInTheirWindow) {
    Workbench wb;
    wb.editor(0).SetText(QByteArrayLiteral("var a = {b: {c: 1}};\nconsole.dir(a);\n"
                                           "console.dir('text');\nconsole.dir([1, 2]);\n"));
    wb.load();
    ConsoleValuesWindow* w = wb.window.consoleValuesWindow();
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    auto rows = [&](const QModelIndex& parent) {
        ValueTreeModel* m = w->tree()->valueModel(); // each run has a model of its own
        if (m->canFetchMore(parent))
            m->fetchMore(parent);
        QStringList out;
        for (int i = 0; i < m->rowCount(parent); ++i)
            out << m->index(i, 0, parent).data().toString() + QLatin1Char('=') +
                       m->index(i, 1, parent).data().toString();
        return out;
    };
    // The string is a pane line only; the objects are rows, each opening one level.
    EXPECT_EQ(rows({}), QStringList({QStringLiteral("console.dir 1={b: {…}}"),
                                     QStringLiteral("console.dir 2=Array(2)")}));
    EXPECT_EQ(rows(w->tree()->valueModel()->index(0, 0)).value(0), QStringLiteral("b={c: 1}"));
    EXPECT_TRUE(
        wb.window.outputLog().messages().contains(QStringLiteral("-->console.dir：\"text\"\r\n")));

    // The next run's values take the place of these; a run with none leaves them; only
    // the last values of a long run are kept, numbered through the run.
    const struct {
        const char* expression;
        QStringList rows;
    } runs[] = {
        {"console.dir(function f(x, y) {}), 1", {QStringLiteral("console.dir 1=ƒ f(x, y)")}},
        {"1 + 1", {QStringLiteral("console.dir 1=ƒ f(x, y)")}},
    };
    for (const auto& r : runs) {
        wb.evaluate(QString::fromUtf8(r.expression));
        EXPECT_EQ(rows({}), r.rows) << r.expression;
    }
    wb.evaluate(QStringLiteral("for (var i = 0; i < 25; ++i) console.dir({i}); 0"));
    ASSERT_EQ(rows({}).size(), 20);
    EXPECT_EQ(rows({}).last(), QStringLiteral("console.dir 25={i: 24}"));
}
