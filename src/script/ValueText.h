#pragma once
// How values are written in the output pane and listings.

#include <QString>

// printf "%.13g" with an exponent of at least three digits (1e+021).
QString formatNumber(double value);
// printf "%.6g", for single-precision values such as the program version.
QString formatSingle(float value);
QString formatBool(bool value);
// "%d年%d月%d日" followed by the time down to its last non-zero field.
QString formatDate(double oleDate);
