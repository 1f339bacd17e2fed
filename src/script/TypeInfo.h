#pragma once
// The member table of an object as the inspector reads it: a type with functions and
// variables, each function with its invoke kind and parameter names. The operations and
// records keep the shape of the automation type-information interface, so a walk over
// them reads the same way on every platform.
//
// Ownership: a record handed out by GetTypeAttr, GetFuncDesc or GetVarDesc stays owned
// by the TypeInfo and valid until it is given back with the matching Release call; the
// caller gives back every record it obtained, exactly once. A failing Get hands out no
// record.

#include <QString>

#include <optional>

// Status values of the TypeInfo operations, numbered as automation HRESULTs: 0 is
// success, negative values are failures.
namespace TypeInfoStatus {
constexpr int Ok = 0;
constexpr int Fail = static_cast<int>(0x80004005u);
constexpr int InvalidArgument = static_cast<int>(0x80070057u);
constexpr int ElementNotFound = static_cast<int>(0x8002802Bu);
} // namespace TypeInfoStatus

enum InvokeKind : qint32 {
    InvokeFunc = 1,
    InvokePropertyGet = 2,
    InvokePropertyPut = 4,
    InvokePropertyPutRef = 8,
};

// A function flagged with nothing but this is not meant to be shown.
constexpr quint16 FuncFlagRestricted = 0x1;
// The member id that stands for the type itself in GetDocumentation.
constexpr qint32 MemberIdNil = -1;

struct TypeAttr {
    qint16 cFuncs = 0;
    qint16 cVars = 0;
};

struct FuncDesc {
    qint32 memid = 0;
    qint32 invkind = InvokeFunc;
    qint16 cParams = 0;
    qint16 cParamsOpt = 0;
    quint16 wFuncFlags = 0;
};

struct VarDesc {
    qint32 memid = 0;
};

// Each text is absent (a null string) when the type or member does not have it.
struct TypeDocumentation {
    std::optional<QString> name;
    std::optional<QString> docString;
    quint32 helpContext = 0;
    std::optional<QString> helpFile;
};

class TypeInfo {
public:
    virtual ~TypeInfo() = default;

    virtual int GetTypeAttr(const TypeAttr** attr) = 0;
    virtual int GetFuncDesc(int index, const FuncDesc** desc) = 0;
    virtual int GetVarDesc(int index, const VarDesc** desc) = 0;
    // names[0] receives the member's name, names[1..] its parameters' names (empty where
    // a parameter has none); at most maxNames entries are written and *count tells how
    // many were.
    virtual int GetNames(qint32 memid, QString* names, int maxNames, int* count) = 0;
    // memid MemberIdNil asks for the type's own name and documentation.
    virtual int GetDocumentation(qint32 memid, TypeDocumentation* documentation) = 0;

    virtual void ReleaseTypeAttr(const TypeAttr* attr) = 0;
    virtual void ReleaseFuncDesc(const FuncDesc* desc) = 0;
    virtual void ReleaseVarDesc(const VarDesc* desc) = 0;
};
