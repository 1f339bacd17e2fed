#pragma once
// How values are written in the output pane and listings.

#include <QString>

// printf "%.13g" with an exponent of at least three digits (1e+021).
QString formatNumber(double value);
// printf "%.6g", for single-precision values such as the program version.
QString formatSingle(float value);
QString formatBool(bool value);
// "%d年%d月%d日" followed by the time down to its last non-zero field; "无效日期" for NaN.
QString formatDate(double oleDate);

// One output-pane message as exactly one line: control characters inside it (line
// breaks, NUL, …) are written visibly as \n, \r, \0, \b, \f, \v, \u2028, \u2029 or \xHH,
// so a value or an error text cannot break or cut the line. A tab stays a tab. A lone
// surrogate (half of a pair without its other half) is written as \ud800 and the like,
// since UTF-8 cannot carry it. The message's own closing CR LF is kept.
QString oneLineMessage(const QString& message);

// The text with every lone surrogate written as \ud800 and the like (lowercase hex, as
// JavaScript writes it); everything else, pairs included, as it is.
QString escapeLoneSurrogates(const QString& text);

// Most characters of one message the output pane lays out; a longer line would freeze
// the window while it is measured. The whole text stays with the pane's caller.
constexpr qsizetype kPaneLineLimit = 4000;

// The message cut to at most `limit` characters of its body, followed by
// "…（共 N 字符）" (N = the body's whole length); the closing CR LF is kept. A message
// within the limit comes back as it is. A surrogate pair is never split.
QString cutLongLine(const QString& message, qsizetype limit = kPaneLineLimit);
