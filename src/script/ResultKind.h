#pragma once
// How an evaluation result is classified and named in the report.

#include <QString>

// -1 to 13 from a VARIANT type word: the scalar kind of the base type (0 empty,
// 1 number, 2 text, 3 boolean, 4 date, 5 object, 6 error, -1 anything else), raised by 6
// for arrays (13 for arrays of variants).
int ResultKind(quint16 vt);
// The type name written after "-->返回类型：".
QString ResultTypeName(int kind);
