#pragma once
// The two scripts the debugger's costs are measured on: a CPU-heavy function and a 1 MB
// library of small functions. Line 7 of the first and line 3 of the second are in
// functions that are never called ("a breakpoint elsewhere").

#include <QString>

inline const char* const kCpuScript = R"JS(function work(n) {
  var h = 0;
  for (var i = 0; i < n; i++) { h = (h * 31 + i) | 0; h ^= h >>> 7; }
  return h;
}
function never() {
  return 1;
}
)JS";

inline constexpr int kCpuElsewhereLine = 7;
inline constexpr int kBigElsewhereLine = 3;

inline QString bigScript() {
    QString s;
    for (int i = 0; s.size() < 1024 * 1024; ++i)
        s += QStringLiteral("function f%1(a) {\n  var x = a + %1;\n  return x * 2;\n}\n").arg(i);
    s += QStringLiteral("var t = 0;\nfor (var k = 0; k < 100; k++) {\n  t += f2(k);\n}\n");
    return s;
}
