#include "script/ErrorTexts.h"

#include <QList>
#include <QRegularExpression>

#include <iterator>

namespace {
// The messages JavaScriptCore 2.50 writes, checked against the engine itself by the
// tests, then those of the code tools (the minifier's and the deobfuscator's parser).
const ErrorText kTable[] = {
    // Names and values
    {"Can't find variable: {}", "找不到变量：{}"},
    {"Cannot access uninitialized variable", "变量在初始化之前被访问（let/const/class 声明之前）"},
    {"{} is not an object (evaluating '{}')", "{} 不是对象（计算 '{}' 时）"},
    {"{} is not an object", "{} 不是对象"},
    {"{} is not an Object", "{} 不是对象"},
    {"{} is not a function", "{} 不是函数"},
    {"{} is not a constructor (evaluating '{}')", "{} 不是构造函数（计算 '{}' 时）"},
    {"{} is not a constructor", "{} 不是构造函数"},
    {"Cannot call a class constructor without |new|", "调用类的构造函数必须使用 new"},
    {"The superclass is not a constructor", "父类不是构造函数"},
    {"Right hand side of instanceof is not an object", "instanceof 的右侧不是对象"},
    {"Right side of assignment cannot be destructured", "赋值号右侧的值不能解构"},
    {"Spread syntax requires ...iterable[Symbol.iterator] to be a function",
     "展开的值不可迭代（...iterable[Symbol.iterator] 必须是函数）"},
    {"Attempted to assign to readonly property", "试图给只读属性赋值"},
    {"Attempting to define property on object that is not extensible",
     "试图在不可扩展的对象上定义属性"},
    {"Unable to delete property", "无法删除属性"},
    {"Properties can only be defined on Objects", "只能在对象上定义属性"},
    {"Object prototype may only be an Object or null", "对象的原型只能是对象或 null"},
    {"Cannot convert a symbol to a string", "不能把 Symbol 转换为字符串"},
    {"Invalid mix of BigInt and other type in {}", "{} 运算中混用了 BigInt 和其他类型"},
    {"JSON.stringify cannot serialize cyclic structures",
     "JSON.stringify 无法序列化循环引用的结构"},
    {"reduce of empty array with no initial value", "对空数组调用 reduce 且没有初始值"},
    {"{} requires that |this| not be null or undefined", "{} 要求 this 不为 null 或 undefined"},
    {"{} requires that input parameter not be null or undefined",
     "{} 要求参数不为 null 或 undefined"},
    {"{} callback must be a function", "{} 的回调必须是函数"},
    {"Type error", "类型错误"},
    // Ranges and resources
    {"Maximum call stack size exceeded", "超出最大调用栈（递归过深）"},
    {"Out of memory", "内存不足"},
    {"Invalid array length", "无效的数组长度"},
    {"Array length must be a positive integer of safe magnitude",
     "数组长度必须是安全范围内的正整数"},
    {"toString() radix argument must be between {} and {}",
     "toString() 的进制参数必须在 {} 到 {} 之间"},
    {"{} argument must be between {} and {}", "{} 的参数必须在 {} 到 {} 之间"},
    {"Invalid Date", "无效日期"},
    {"Not an integer", "不是整数"},
    {"URI error", "URI 错误（编码或解码的内容格式不正确）"},
    {"String contained an illegal UTF-16 sequence", "字符串含有非法的 UTF-16 序列"},
    // Syntax
    {"Unexpected token {}", "意外的符号 {}"},
    {"Unexpected token", "意外的符号"},
    {"Unexpected identifier {}", "意外的标识符 {}"},
    {"Unexpected number {}", "意外的数字 {}"},
    {"Unexpected string literal {}", "意外的字符串 {}"},
    {"Unexpected keyword {}", "意外的关键字 {}"},
    {"Unexpected EOF", "代码意外结束（字符串或模板可能未闭合）"},
    {"Unexpected end of script", "代码意外结束（可能缺少右括号或右花括号）"},
    {"Unterminated regular expression literal {}", "正则表达式未闭合：{}"},
    {"Invalid regular expression: {}", "无效的正则表达式：{}"},
    {"Invalid flags supplied to RegExp constructor", "RegExp 的标志无效"},
    {"Invalid character: {}", "无效字符：{}"},
    {"No identifiers allowed directly after numeric literal", "数字后面不能紧跟标识符"},
    {"\\u can only be followed by a Unicode character sequence", "\\u 后面必须是 Unicode 字符序列"},
    {"\\x can only be followed by a hex character sequence", "\\x 后面必须是十六进制字符序列"},
    {"Left side of assignment is not a reference", "赋值号左侧不是变量或属性，不能赋值"},
    {"Left hand side of operator {} must be a reference", "运算符 {} 的左侧必须是变量或属性"},
    {"Cannot declare a {} variable twice: {}", "不能重复声明 {} 变量：{}"},
    {"Cannot use the keyword {} as a variable name", "不能把关键字 {} 用作变量名"},
    {"const declared variable {} must have an initializer", "const 声明的变量 {} 必须赋初值"},
    {"Return statements are only valid inside functions", "return 语句只能在函数内使用"},
    {"{} is only valid inside a switch or loop statement", "{} 只能在 switch 或循环语句中使用"},
    {"Function statements must have a name", "函数声明必须有名称"},
    {"getter functions must have no parameters", "getter 函数不能有参数"},
    {"Cannot declare multiple constructors in a single class", "一个类中不能声明多个构造函数"},
    {"Cannot use the undeclared label {}", "不能使用未声明的标签 {}"},
    {"super is not valid in this context", "此处不能使用 super"},
    {"Expected ')' to end an argument list", "参数列表缺少右括号 ')'"},
    {"Expected ';' after variable declaration", "变量声明之后缺少 ';'"},
    {"Expected a property name", "此处应为属性名"},
    {"Expected a ':' following the property name {}", "属性名 {} 之后缺少 ':'"},
    {"Expected a parameter pattern or a ')' in parameter list", "参数列表中此处应为参数或 ')'"},
    {"JSON Parse error: {*}", "JSON 解析错误：{*}"},
    {"Expected '}'", "缺少 '}'"},
    {"Property name must be a string literal", "属性名必须是带双引号的字符串"},
    {"Single quotes (') are not allowed in JSON", "JSON 中不能使用单引号"},
    // The code tools
    {"Error: unterminated string literal: {}", "字符串未闭合"},
    {"Error: unterminated template literal", "模板字符串未闭合"},
    {"Error: Unterminated comment", "注释未闭合"},
    {"Error: unterminated Regular Expression literal", "正则表达式未闭合"},
    {"Unterminated string constant", "字符串未闭合"},
    {"Unterminated template", "模板字符串未闭合"},
    {"Unterminated regular expression", "正则表达式未闭合"},
    {"Unterminated comment", "注释未闭合"},
    {"Missing semicolon", "缺少分号"},
};

// A quoted token as the engine writes it ('x', "x"), else the shortest text that lets
// the rest of the pattern match. One that ends the pattern never starts with "(": that
// is the engine's detail after a sentence ("Unexpected token (1:5)").
const QString kPart = QStringLiteral(R"(('(?:[^'\\]|\\.)*'|"(?:[^"\\]|\\.)*"|.*?))");
const QString kLastPart = QStringLiteral(R"(('(?:[^'\\]|\\.)*'|"(?:[^"\\]|\\.)*"|(?!\().*?))");
// Where a sentence may end: the end, a period closing it, or " (" before the engine's
// own parenthesised detail ("(evaluating …)", "(1:5)").
const QString kSentenceEnd = QStringLiteral(R"((?=\z|\.(?:\s|\z)|\s\())");

struct Compiled {
    QRegularExpression pattern;
    QList<bool> describedAgain; // per placeholder: `{*}`
};

const QList<Compiled>& compiled() {
    static const QList<Compiled> list = [] {
        QList<Compiled> out;
        static const QRegularExpression placeholder(QStringLiteral(R"(\{\*?\})"));
        for (const ErrorText& entry : kTable) {
            const QString english = QString::fromUtf8(entry.english);
            Compiled c;
            QString regex = QStringLiteral("^");
            qsizetype at = 0;
            auto it = placeholder.globalMatch(english);
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                regex += QRegularExpression::escape(english.mid(at, m.capturedStart() - at));
                const bool again = m.captured() == QLatin1String("{*}");
                regex += again                               ? QStringLiteral("(.*)")
                         : m.capturedEnd() == english.size() ? kLastPart
                                                             : kPart;
                c.describedAgain.append(again);
                at = m.capturedEnd();
            }
            regex += QRegularExpression::escape(english.mid(at)) + kSentenceEnd;
            c.pattern = QRegularExpression(regex, QRegularExpression::DotMatchesEverythingOption);
            out.append(std::move(c));
        }
        return out;
    }();
    return list;
}

struct Sentence {
    int index = -1;
    QString chinese;
    qsizetype length = 0; // of the English matched
};

Sentence describeSentence(QStringView text, int depth, QList<int>* used);

QString describeWhole(QStringView text, int depth, QList<int>* used = nullptr) {
    QString out;
    qsizetype at = 0;
    while (at < text.size()) {
        const Sentence s = describeSentence(text.mid(at), depth, used);
        if (s.index < 0)
            break;
        if (!out.isEmpty())
            out += QStringLiteral("。");
        out += s.chinese;
        at += s.length;
        // Only a further sentence (". Expected …") is described; any other detail stays
        // in the original.
        if (text.mid(at).startsWith(u". ") && at + 2 < text.size())
            at += 2;
        else
            break;
    }
    return out;
}

// The order patterns are tried in: fixed beginnings first, then those that begin with a
// placeholder, which would otherwise take "The superclass is not a constructor" as
// "{} is not a constructor".
const QList<int>& matchOrder() {
    static const QList<int> order = [] {
        QList<int> fixed, open;
        for (int i = 0; i < int(std::size(kTable)); ++i)
            (QByteArray(kTable[i].english).startsWith("{") ? open : fixed).append(i);
        return fixed + open;
    }();
    return order;
}

Sentence describeSentence(QStringView text, int depth, QList<int>* used) {
    const QList<Compiled>& list = compiled();
    for (const int i : matchOrder()) {
        const QRegularExpressionMatch m = list[i].pattern.match(text);
        if (!m.hasMatch())
            continue;
        if (used)
            used->append(i);
        // The Chinese text with its placeholders filled left to right.
        const QString pattern = QString::fromUtf8(kTable[i].chinese);
        static const QRegularExpression placeholder(QStringLiteral(R"(\{\*?\})"));
        QString chinese;
        qsizetype at = 0;
        int part = 0;
        auto it = placeholder.globalMatch(pattern);
        while (it.hasNext()) {
            const QRegularExpressionMatch p = it.next();
            chinese += pattern.mid(at, p.capturedStart() - at);
            QString shown = m.captured(part + 1);
            if (list[i].describedAgain.value(part) && depth < 2) {
                const QString inner = describeWhole(shown, depth + 1, used);
                if (!inner.isEmpty())
                    shown = inner;
            }
            chinese += shown;
            ++part;
            at = p.capturedEnd();
        }
        chinese += pattern.mid(at);
        return {i, chinese.trimmed(), m.capturedLength()};
    }
    return {};
}
} // namespace

std::span<const ErrorText> errorTexts() {
    return {std::begin(kTable), std::end(kTable)};
}

QList<int> errorTextsUsed(const QString& message) {
    QList<int> used;
    describeWhole(message, 0, &used);
    return used;
}

QString describeError(const QString& message) {
    const QString chinese = describeWhole(message, 0);
    if (chinese.isEmpty())
        return message;
    return chinese + QStringLiteral("（") + message + QStringLiteral("）");
}
