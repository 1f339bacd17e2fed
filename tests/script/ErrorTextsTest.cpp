// The Chinese error descriptions: every entry of the table against the message the engine
// (or a code tool) really writes, so a changed engine text shows up here.

#include "script/ErrorTexts.h"
#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <set>

namespace {
struct Case {
    const char* code;    // evaluated in a fresh engine; nullptr: `message` is given as it is
    const char* message; // the engine's text expected from `code`, or the tool's text
    const char* shown;   // the Chinese part before the original in parentheses
};

const Case kCases[] = {
    {"xyz", "Can't find variable: xyz", "找不到变量：xyz"},
    {"x2; let x2 = 1", "Cannot access uninitialized variable.",
     "变量在初始化之前被访问（let/const/class 声明之前）"},
    {"undefined.a", "undefined is not an object (evaluating 'undefined.a')",
     "undefined 不是对象（计算 'undefined.a' 时）"},
    {"var o = {}; o.a.b = 1", "undefined is not an object", "undefined 不是对象"},
    {"'a' in 1", "1 is not an Object. (evaluating ''a' in 1')", "1 不是对象"},
    {"var o = {}; o.f()", "o.f is not a function. (In 'o.f()', 'o.f' is undefined)",
     "o.f 不是函数"},
    {"var q = 1; new q()", "1 is not a constructor (evaluating 'new q()')",
     "1 不是构造函数（计算 'new q()' 时）"},
    {nullptr, "Symbol() is not a constructor", "Symbol() 不是构造函数"},
    {"class A {}; A()", "Cannot call a class constructor without |new|",
     "调用类的构造函数必须使用 new"},
    {"class B extends 1 {}", "The superclass is not a constructor.", "父类不是构造函数"},
    {"null instanceof 1", "Right hand side of instanceof is not an object",
     "instanceof 的右侧不是对象"},
    {"var {b} = null", "Right side of assignment cannot be destructured", "赋值号右侧的值不能解构"},
    {"[...1]", "Spread syntax requires ...iterable[Symbol.iterator] to be a function",
     "展开的值不可迭代（...iterable[Symbol.iterator] 必须是函数）"},
    {"const k = 1; k = 2", "Attempted to assign to readonly property.", "试图给只读属性赋值"},
    {"Object.defineProperty(Object.freeze({}), 'a', {value: 1})",
     "Attempting to define property on object that is not extensible.",
     "试图在不可扩展的对象上定义属性"},
    {"'use strict'; delete Object.prototype", "Unable to delete property.", "无法删除属性"},
    {"Object.defineProperty(1, 'a', {})", "Properties can only be defined on Objects.",
     "只能在对象上定义属性"},
    {"Object.create(1)", "Object prototype may only be an Object or null.",
     "对象的原型只能是对象或 null"},
    {"Symbol() + ''", "Cannot convert a symbol to a string", "不能把 Symbol 转换为字符串"},
    {"1n + 1", "Invalid mix of BigInt and other type in addition.",
     "addition 运算中混用了 BigInt 和其他类型"},
    {"var a = {}; a.a = a; JSON.stringify(a)", "JSON.stringify cannot serialize cyclic structures.",
     "JSON.stringify 无法序列化循环引用的结构"},
    {"[].reduce(function () {})", "reduce of empty array with no initial value",
     "对空数组调用 reduce 且没有初始值"},
    {"Array.prototype.map.call(null, x => x)",
     "Array.prototype.map requires that |this| not be null or undefined",
     "Array.prototype.map 要求 this 不为 null 或 undefined"},
    {"Object.assign(null)", "Object.assign requires that input parameter not be null or undefined",
     "Object.assign 要求参数不为 null 或 undefined"},
    {"[1].map(1)", "Array.prototype.map callback must be a function",
     "Array.prototype.map 的回调必须是函数"},
    {"new Set(1)", "Type error", "类型错误"},
    {"function f() { f(); } f()", "Maximum call stack size exceeded.",
     "超出最大调用栈（递归过深）"},
    {"'x'.repeat(2 ** 31)", "Out of memory", "内存不足"},
    {"[].length = -1", "Invalid array length", "无效的数组长度"},
    {"new Array(-1)", "Array length must be a positive integer of safe magnitude.",
     "数组长度必须是安全范围内的正整数"},
    {"(1).toString(1)", "toString() radix argument must be between 2 and 36",
     "toString() 的进制参数必须在 2 到 36 之间"},
    {"(1).toFixed(200)", "toFixed() argument must be between 0 and 100",
     "toFixed() 的参数必须在 0 到 100 之间"},
    {"new Date(NaN).toISOString()", "Invalid Date", "无效日期"},
    {"BigInt(1.5)", "Not an integer", "不是整数"},
    {"decodeURIComponent('%')", "URI error", "URI 错误（编码或解码的内容格式不正确）"},
    {"encodeURI('\\uD800')", "String contained an illegal UTF-16 sequence.",
     "字符串含有非法的 UTF-16 序列"},
    {"var a = ;", "Unexpected token ';'", "意外的符号 ';'"},
    {"f(1;", "Unexpected token ';'. Expected ')' to end an argument list.",
     "意外的符号 ';'。参数列表缺少右括号 ')'"},
    {"a b", "Unexpected identifier 'b'", "意外的标识符 'b'"},
    {"var o = {a 1}", "Unexpected number '1'. Expected a ':' following the property name 'a'.",
     "意外的数字 '1'。属性名 'a' 之后缺少 ':'"},
    {"var a = \"x\" \"y\"",
     "Unexpected string literal \"y\". Expected ';' after variable declaration.",
     "意外的字符串 \"y\"。变量声明之后缺少 ';'"},
    {"export var e", "Unexpected keyword 'export'", "意外的关键字 'export'"},
    {"'abc", "Unexpected EOF", "代码意外结束（字符串或模板可能未闭合）"},
    {"if (a) {", "Unexpected end of script", "代码意外结束（可能缺少右括号或右花括号）"},
    {"var r = /[/", "Unterminated regular expression literal '/[/'", "正则表达式未闭合：'/[/'"},
    {"new RegExp('(')", "Invalid regular expression: missing )", "无效的正则表达式：missing )"},
    {"new RegExp('a', 'z')", "Invalid flags supplied to RegExp constructor.", "RegExp 的标志无效"},
    {"@", "Invalid character: '@'", "无效字符：'@'"},
    {"var 1a", "No identifiers allowed directly after numeric literal", "数字后面不能紧跟标识符"},
    {"'\\u{zz}'", "\\u can only be followed by a Unicode character sequence",
     "\\u 后面必须是 Unicode 字符序列"},
    {"'\\x'", "\\x can only be followed by a hex character sequence",
     "\\x 后面必须是十六进制字符序列"},
    {"1 = 2", "Left side of assignment is not a reference.", "赋值号左侧不是变量或属性，不能赋值"},
    {"a++ = 1", "Left hand side of operator '=' must be a reference.",
     "运算符 '=' 的左侧必须是变量或属性"},
    {"let v = 1; let v = 2", "Cannot declare a let variable twice: 'v'.",
     "不能重复声明 let 变量：'v'"},
    {"var class = 1", "Cannot use the keyword 'class' as a variable name.",
     "不能把关键字 'class' 用作变量名"},
    {"const c;", "Unexpected token ';'. const declared variable 'c' must have an initializer.",
     "意外的符号 ';'。const 声明的变量 'c' 必须赋初值"},
    {"return 1", "Return statements are only valid inside functions.",
     "return 语句只能在函数内使用"},
    {"break", "'break' is only valid inside a switch or loop statement.",
     "'break' 只能在 switch 或循环语句中使用"},
    {"function () {}", "Function statements must have a name.", "函数声明必须有名称"},
    {"var o = {get x(a) {}}",
     "Unexpected identifier 'a'. getter functions must have no parameters.",
     "意外的标识符 'a'。getter 函数不能有参数"},
    {"class C { constructor() {} constructor() {} }",
     "Cannot declare multiple constructors in a single class.", "一个类中不能声明多个构造函数"},
    {"for (;;) { continue lbl; }", "Cannot use the undeclared label 'lbl'.",
     "不能使用未声明的标签 'lbl'"},
    {"super()", "super is not valid in this context.", "此处不能使用 super"},
    {"var a = {a: 1,,}", "Unexpected token ','. Expected a property name.",
     "意外的符号 ','。此处应为属性名"},
    {"function f(a,,b) {}",
     "Unexpected token ','. Expected a parameter pattern or a ')' in parameter list.",
     "意外的符号 ','。参数列表中此处应为参数或 ')'"},
    {"JSON.parse('x')", "JSON Parse error: Unexpected identifier \"x\"",
     "JSON 解析错误：意外的标识符 \"x\""},
    {"JSON.parse('{')", "JSON Parse error: Expected '}'", "JSON 解析错误：缺少 '}'"},
    {"JSON.parse('{\"a\":1,}')", "JSON Parse error: Property name must be a string literal",
     "JSON 解析错误：属性名必须是带双引号的字符串"},
    {"JSON.parse(\"{'a':1}\")", "JSON Parse error: Single quotes (') are not allowed in JSON",
     "JSON 解析错误：JSON 中不能使用单引号"},
    // The code tools' own texts.
    {nullptr, "Error: unterminated string literal: \n", "字符串未闭合"},
    {nullptr, "Error: unterminated template literal", "模板字符串未闭合"},
    {nullptr, "Error: Unterminated comment.", "注释未闭合"},
    {nullptr, "Error: unterminated Regular Expression literal", "正则表达式未闭合"},
    {nullptr, "Unterminated string constant. (1:8)", "字符串未闭合"},
    {nullptr, "Unterminated template. (2:0)", "模板字符串未闭合"},
    {nullptr, "Unterminated regular expression. (1:0)", "正则表达式未闭合"},
    {nullptr, "Unterminated comment. (3:4)", "注释未闭合"},
    {nullptr, "Missing semicolon. (1:3)", "缺少分号"},
    {nullptr, "Unexpected token (1:5)", "意外的符号"},
};
} // namespace

TEST(ErrorTexts, EveryEntryDescribesTheMessageTheEngineWrites) {
    std::set<int> used;
    for (const Case& c : kCases) {
        const QString message = QString::fromUtf8(c.message);
        SCOPED_TRACE(c.message);
        if (c.code) {
            ScriptHost host;
            host.Eval(QString::fromUtf8(c.code));
            EXPECT_EQ(host.Error().description, message) << c.code;
        }
        const QList<int> entries = errorTextsUsed(message);
        EXPECT_FALSE(entries.isEmpty());
        used.insert(entries.begin(), entries.end());
        EXPECT_EQ(describeError(message), QString::fromUtf8(c.shown) + QStringLiteral("（") +
                                              message + QStringLiteral("）"));
    }
    // No entry of the table goes untried.
    for (int i = 0; i < int(errorTexts().size()); ++i)
        EXPECT_TRUE(used.count(i)) << errorTexts()[size_t(i)].english;
    EXPECT_GE(errorTexts().size(), 30u);
}

TEST(ErrorTexts, UnknownMessagesStayAsTheyAre) {
    for (const char* message : {"boom", "", "脚本运行已被用户中止", "代码嵌套过深，无法排版",
                                "Unexpected tokens ahead", "Can't find variables", "HTTP 404"})
        EXPECT_EQ(describeError(QString::fromUtf8(message)), QString::fromUtf8(message)) << message;
}
