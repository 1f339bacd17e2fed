// Loading, error reports and evaluation reports on the real engine, line for line.

#include "../support/RecordingLog.h"

#include "engine/ScriptObject.h"
#include "engine/Variant.h"
#include "script/DemoScript.h"
#include "script/GlobalObjects.h"
#include "script/ResultKind.h"
#include "script/ScriptSession.h"
#include "script/TextCodec.h"

#include <gtest/gtest.h>

namespace {
class CountingQuestion : public ObjectQuestion {
public:
    bool askToInspect() override {
        ++asked;
        return answer;
    }
    void inspect(const std::shared_ptr<ScriptObject>& object) override { inspected = object; }
    bool answer = false;
    int asked = 0;
    std::shared_ptr<ScriptObject> inspected;
};

struct Session {
    GlobalObjects globals;
    RecordingLog log;
    CountingQuestion question;

    LoadResult load(const QString& code) { return LoadCode(globals, code, log); }
    QStringList eval(const QString& expression) {
        log.lines.clear();
        EvaluateExpression(globals, expression, log, question);
        return log.take();
    }
};

QString demo() {
    return decodeBytes(demoScriptGbk(), "GBK").value();
}
QStringList report(const char* type, const QString& value) {
    return {QStringLiteral("-->返回类型：") + QString::fromUtf8(type) + QStringLiteral("\r\n"),
            QStringLiteral("-->计算结果：") + value + QStringLiteral("\r\n")};
}
const QString kNotSupported = QStringLiteral("-->该类型结果此版本不支持\r\n");
} // namespace

TEST(Loading, DemoScriptAndScriptsWithoutFunctions) {
    Session s;
    LoadResult r = s.load(demo());
    EXPECT_EQ(r.outcome, LoadResult::Loaded);
    EXPECT_TRUE(r.proceduresRefreshed);
    EXPECT_EQ(s.log.take(), QStringList{QStringLiteral("-->代码加载成功\r\n")});
    EXPECT_EQ(s.globals.codeLoaded, 1);
    ASSERT_EQ(s.globals.procedures().count(), 4);
    EXPECT_EQ(s.globals.procedures().entry(4)->name, QStringLiteral("OXOX"));

    // No functions: success, and the previous list stays.
    r = s.load(QStringLiteral("var x = 1;"));
    EXPECT_EQ(r.outcome, LoadResult::Loaded);
    EXPECT_FALSE(r.proceduresRefreshed);
    EXPECT_EQ(s.globals.procedures().count(), 4);
    // A blank script reaches the engine and succeeds.
    r = s.load(QStringLiteral("  \r\n "));
    EXPECT_EQ(r.outcome, LoadResult::Loaded);
    EXPECT_EQ(s.log.take().size(), 2);
}

TEST(Loading, EmptyTextAndSyntaxErrors) {
    Session s;
    s.load(demo());
    s.log.lines.clear();
    // Empty: the failure line; the engine is emptied but the flag stays.
    LoadResult r = s.load(QString());
    EXPECT_EQ(r.outcome, LoadResult::Empty);
    EXPECT_EQ(s.log.take(), QStringList{QStringLiteral("-->代码加载失败，请检查代码内容\r\n")});
    EXPECT_EQ(s.globals.codeLoaded, 1);
    EXPECT_EQ(s.eval(QStringLiteral("typeof OXOX")), report("文本型", QStringLiteral("undefined")));

    s.globals.codeLoaded = 0;
    r = s.load(QStringLiteral("var a = ;"));
    EXPECT_EQ(r.outcome, LoadResult::ScriptError);
    EXPECT_EQ(r.errorLine, 1);
    EXPECT_EQ(s.globals.codeLoaded, 1);
    const QStringList lines = s.log.take();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("-->发生错误：错误号=1002\r\n"));
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("-->错误描述：")));
    EXPECT_EQ(lines[2], QStringLiteral("-->错误代码：var a = ;\r\n"));
    EXPECT_TRUE(lines[3].startsWith(QStringLiteral("-->错误位置：1行")));
    EXPECT_TRUE(lines[3].endsWith(QStringLiteral("字符处\r\n")));

    r = s.load(QStringLiteral("var a = 1;\r\nvar b = 2;\r\nfunction (\r\n"));
    EXPECT_EQ(r.errorLine, 3);
    EXPECT_EQ(s.log.take()[2], QStringLiteral("-->错误代码：function (\r\n"));
    // A script that throws while it runs is reported the same way.
    r = s.load(QStringLiteral("var ok = 1;\nundefinedFunction();"));
    EXPECT_EQ(r.errorLine, 2);
    EXPECT_EQ(s.log.take()[0], QStringLiteral("-->发生错误：错误号=5009\r\n"));
}

// The type line and the value line of each kind of result. A symbol is text, as
// String(symbol) writes it, also once the script replaced String or
// Symbol.prototype.toString; a BigInt is a number with every one of its digits; an invalid
// Date is a date without a value. What the session writes is the raw message: the output
// pane and the command line show each as one line, so nothing here is cut or split.
TEST(Report, TypeAndValueOfEveryKindOfResult) {
    Session s;
    s.load(demo());
    const QString nul = QStringLiteral("a\nb") + QChar(0) + QStringLiteral("c");
    const struct {
        QString expression;
        const char* type;
        QString value; // null: "该类型结果此版本不支持"
    } cases[] = {
        {QStringLiteral("1+1"), "数值型", QStringLiteral("2")},
        {QStringLiteral("1/3"), "数值型", QStringLiteral("0.3333333333333")},
        {QStringLiteral("1e21"), "数值型", QStringLiteral("1e+021")},
        {QStringLiteral("'abc'"), "文本型", QStringLiteral("abc")},
        {QStringLiteral("''"), "文本型", QStringLiteral("")},
        {QStringLiteral("'a\\nb\\u0000c'"), "文本型", nul},
        {QStringLiteral("1<2"), "逻辑型", QStringLiteral("真")},
        {QStringLiteral("OXOX('a',1,'b')"), "文本型", QStringLiteral("a1b")},
        {QStringLiteral("new Date(2014, 2, 5)"), "日期型", QStringLiteral("2014年3月5日")},
        {QStringLiteral("new Date(2014, 2, 5, 0, 0, 30)"), "日期型",
         QStringLiteral("2014年3月5日0时0分30秒")},
        {QStringLiteral("undefined"), "空", QString()},
        {QString(), "空", QString()},
        {QStringLiteral("null"), "未知类型", QString()},
        {QStringLiteral("Symbol('x')"), "文本型", QStringLiteral("Symbol(x)")},
        {QStringLiteral("Symbol()"), "文本型", QStringLiteral("Symbol()")},
        {QStringLiteral("String = null; Symbol.prototype.toString = null; Symbol.iterator"),
         "文本型", QStringLiteral("Symbol(Symbol.iterator)")},
        {QStringLiteral("10n"), "数值型", QStringLiteral("10")},
        {QStringLiteral("-(2n ** 70n)"), "数值型", QStringLiteral("-1180591620717411303424")},
        {QStringLiteral("new Date(NaN)"), "日期型", QStringLiteral("无效日期")},
        {QStringLiteral("new Date('not a date')"), "日期型", QStringLiteral("无效日期")},
    };
    for (const auto& c : cases) {
        QStringList expected = report(c.type, c.value);
        if (c.value.isNull())
            expected.last() = kNotSupported;
        EXPECT_EQ(s.eval(c.expression), expected) << c.expression.toStdString();
    }
    // Inside an array they read the same way.
    s.question.answer = false;
    s.eval(QStringLiteral("[Symbol('s'), 12345678901234567890n, new Date(NaN)]"));
    const auto array = s.globals.inspectedObject();
    ASSERT_TRUE(array);
    EXPECT_EQ(array->property(QStringLiteral("0")).toText(), QStringLiteral("Symbol(s)"));
    EXPECT_EQ(array->property(QStringLiteral("1")).toText(),
              QStringLiteral("12345678901234567890"));
    EXPECT_EQ(array->property(QStringLiteral("2")).toText(), QStringLiteral("无效日期"));
}

TEST(Report, ErrorsObjectsAndSideEffects) {
    Session s;
    // Without loaded code the expression still runs, then only the one line.
    EXPECT_EQ(s.eval(QStringLiteral("1+1")),
              QStringList{QStringLiteral("-->计算出错：代码未加载\r\n")});

    s.load(demo());
    QStringList lines = s.eval(QStringLiteral("nosuch(1)"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("-->发生错误：错误号=5009\r\n"));
    EXPECT_EQ(lines[2], QStringLiteral("-->错误代码：nosuch(1)\r\n"));
    EXPECT_EQ(lines[4], QStringLiteral("-->返回类型：空\r\n"));
    EXPECT_EQ(lines[5], kNotSupported);

    // An object: the type line and the question; Cancel writes nothing more.
    lines = s.eval(QStringLiteral("[1,2]"));
    EXPECT_EQ(lines, QStringList{QStringLiteral("-->返回类型：对象型\r\n")});
    EXPECT_EQ(s.question.asked, 1);
    ASSERT_TRUE(s.globals.inspectedObject());
    EXPECT_EQ(s.globals.inspectedObject()->property(QStringLiteral("length")).toDouble(), 2.0);
    EXPECT_FALSE(s.question.inspected);
    s.question.answer = true;
    s.eval(QStringLiteral("OX(1,2,3)"));
    ASSERT_TRUE(s.question.inspected);
    EXPECT_EQ(s.question.inspected, s.globals.inspectedObject());

    // The expression runs once: a counter moves by one and the value is that run's.
    s.eval(QStringLiteral("var n = 5"));
    EXPECT_EQ(s.eval(QStringLiteral("n++")), report("数值型", QStringLiteral("5")));
    EXPECT_EQ(s.eval(QStringLiteral("n")), report("数值型", QStringLiteral("6")));
    s.eval(QStringLiteral("var calls = 0; function tick() { return ++calls > 1 ? 'x' : 7; }"));
    EXPECT_EQ(s.eval(QStringLiteral("tick()")), report("数值型", QStringLiteral("7")));
}

TEST(ResultKind, EveryTypeWord) {
    const struct {
        quint16 vt;
        int kind;
    } cases[] = {
        {0, 0},       {1, -1},      {2, 1},       {3, 1},       {5, 1},       {6, 1},
        {14, 1},      {25, 1},      {8, 2},       {31, 2},      {11, 3},      {7, 4},
        {64, 4},      {9, 5},       {13, 5},      {10, 6},      {12, -1},     {15, -1},
        {24, -1},     {29, -1},     {40, -1},     {65, -1},     {0x2003, 7},  {0x2008, 8},
        {0x200B, 9},  {0x2007, 10}, {0x2009, 11}, {0x200A, 12}, {0x200C, 13}, {0x2000, 0},
        {0x2001, -1}, {0x4003, 1},  {0x1008, 2},  {0x6008, 8},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ResultKind(c.vt), c.kind) << "vt " << c.vt;
    EXPECT_EQ(ResultTypeName(11), QStringLiteral("对象值型数组"));
    EXPECT_EQ(ResultTypeName(12), QStringLiteral("错误值类型"));
    EXPECT_EQ(ResultTypeName(13), QStringLiteral("变体型类型"));
    EXPECT_EQ(ResultTypeName(-1), QStringLiteral("未知类型"));
}
