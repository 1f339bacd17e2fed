#pragma once
// Type information made from a script object: a snapshot of its members, taken once on
// the script thread. After that it holds plain data and may be walked on any thread.
//
// Members: the object's own properties, then those of its prototypes up to (not
// including) Object.prototype; a name met again further up the chain is the nearer one's.
// Symbol-keyed properties and prototypes' `constructor` are left out. Function values
// become methods with the parameter names their texts give (the carried source reader,
// SourceScan, runs beside the snapshot), a getter a property-get function, a setter a
// property-put function with its one parameter, anything else a variable.
//
// Arrays and typed arrays leave out their element indexes (the array listing shows the
// elements) and always list `length`, as a variable; their prototypes' members follow as
// for any other object. Past 100,000 elements none of their own names but `length` are
// listed, as finding them would take seconds.

#include "script/SourceScan.h"
#include "script/TypeInfo.h"

#include <QStringList>

#include <memory>
#include <vector>

class ScriptObject;

class JsTypeInfo final : public TypeInfo {
public:
    // nullptr when the members cannot be read (the object throws while being looked at,
    // for example a revoked proxy, or the script was stopped; then *stopped is set).
    static std::unique_ptr<JsTypeInfo> fromObject(const ScriptObject& object,
                                                  bool* stopped = nullptr);

    // What the snapshot found about one member, before it becomes records.
    struct Member {
        enum Kind { Function, Getter, Setter, Variable };
        Kind kind = Variable;
        QString name;
        // Read from the function's text (Function.prototype.toString); nullopt when that
        // names none (a built-in, a class without a constructor of its own).
        std::optional<FunctionParameters> parameters;
        double length = 0.0;
    };
    // `leftOut`: members already left out before these, counted with those beyond the
    // limits here.
    JsTypeInfo(const QString& typeName, const std::vector<Member>& members, qsizetype leftOut = 0);

    int GetTypeAttr(const TypeAttr** attr) override;
    int GetFuncDesc(int index, const FuncDesc** desc) override;
    int GetVarDesc(int index, const VarDesc** desc) override;
    int GetNames(qint32 memid, QString* names, int maxNames, int* count) override;
    int GetDocumentation(qint32 memid, TypeDocumentation* documentation) override;
    void ReleaseTypeAttr(const TypeAttr* attr) override;
    void ReleaseFuncDesc(const FuncDesc* desc) override;
    void ReleaseVarDesc(const VarDesc* desc) override;

    QString typeName() const { return m_typeName; }
    // Records handed out and not yet given back.
    int outstandingRecords() const { return m_outstanding; }
    // Members not listed because a type holds at most kMaxMembers of each kind.
    qsizetype membersLeftOut() const { return m_leftOut; }

    // Most functions or variables one type can hold (the counts are 16-bit).
    static constexpr int kMaxMembers = 32767;

private:
    qint32 addNames(QStringList names);

    QString m_typeName;
    TypeAttr m_attr;
    std::vector<FuncDesc> m_funcs;
    std::vector<VarDesc> m_vars;
    std::vector<QStringList> m_names; // by memid - 1: the member's name, then its parameters
    int m_outstanding = 0;
    qsizetype m_leftOut = 0;
};
