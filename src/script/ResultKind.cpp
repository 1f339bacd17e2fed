#include "script/ResultKind.h"

#include "engine/Variant.h"

namespace {
int scalarKind(int base) {
    switch (base) {
    case Variant::Empty:
        return 0;
    case Variant::I2:
    case Variant::I4:
    case Variant::R4:
    case Variant::R8:
    case Variant::Currency:
    case Variant::Decimal:
    case Variant::I1:
    case Variant::UI1:
    case Variant::UI2:
    case Variant::UI4:
    case Variant::I8:
    case Variant::UI8:
    case Variant::Int:
    case Variant::UInt:
    case Variant::HResult:
        return 1;
    case Variant::BStr:
    case Variant::LpStr:
    case Variant::LpWStr:
        return 2;
    case Variant::Bool:
        return 3;
    case Variant::Date:
    case Variant::FileTime:
        return 4;
    case Variant::Dispatch:
    case Variant::Unknown:
        return 5;
    case Variant::Error:
        return 6;
    default:
        return -1;
    }
}
} // namespace

int ResultKind(quint16 vt) {
    const int base = vt & Variant::TypeMask;
    const int kind = scalarKind(base);
    if (!(vt & Variant::ArrayFlag))
        return kind;
    if (base == Variant::VariantType)
        return 13;
    return kind > 0 ? kind + 6 : kind;
}

QString ResultTypeName(int kind) {
    static const char* const names[] = {"未知类型",     "空",         "数值型",     "文本型",
                                        "逻辑型",       "日期型",     "对象型",     "错误值型",
                                        "数值型数组",   "文本型数组", "逻辑型数组", "日期型数组",
                                        "对象值型数组", "错误值类型", "变体型类型"};
    if (kind < -1 || kind > 13)
        return QString::fromUtf8(names[0]);
    return QString::fromUtf8(names[kind + 1]);
}
