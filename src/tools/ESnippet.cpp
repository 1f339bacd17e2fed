#include "tools/ESnippet.h"

namespace {
// Lines 1 to 10, and line 11 up to the expression.
constexpr const char16_t* kHead[] = {
    u".版本 2",
    u"",
    u".子程序 JS取值, 变体型, , "
    u"代码由VexoJS调试工具生成,默认返回值变体型，如果请自行获取需要的类型",
    u".局部变量 script, 对象",
    u".局部变量 result, 变体型",
    u"",
    u"'如果需要多线程请在这里初始化com库",
    u"script.创建 (“scriptcontrol”, )",
    u"script.写属性 (“Language”, “JScript”)",
    u"script.数值方法 (“AddCode”, “此处填入为JS常量”)",
};
constexpr const char16_t* kLine11Start = u"result ＝ script.通用方法 (“Eval”, “";
constexpr const char16_t* kLine11End = u"”)'此处的表达式如果比较复杂建议使用常量,或者改用Run方法";
constexpr const char16_t* kTail[] = {
    u"'如果需要多多线程请在这里卸载com",
    u"返回 (result)‘返回变体类型 如果是文本可以取文本，如果是数值可以取数值",
};
} // namespace

QString MakeESnippet(const QString& expression) {
    const QString crlf = QStringLiteral("\r\n");
    QString text;
    for (const char16_t* line : kHead)
        text += QString::fromUtf16(line) + crlf;
    text += QString::fromUtf16(kLine11Start) + expression + QString::fromUtf16(kLine11End);
    for (const char16_t* line : kTail)
        text += crlf + QString::fromUtf16(line);
    return text;
}
