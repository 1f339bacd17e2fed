#pragma once
// "生成E代码": a subroutine in E-language source that evaluates an expression with the
// engine the user's program creates.

#include <QString>

// Thirteen lines joined by CR LF, none after the last; the expression goes unchanged
// between the full-width quotes of line 11.
QString MakeESnippet(const QString& expression);
