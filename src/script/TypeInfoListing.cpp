#include "script/TypeInfoListing.h"

#include "script/ValueText.h"

#include <QList>

namespace {
// Gives a record back to its TypeInfo when the walk leaves the member, whichever way.
template <typename Record, void (TypeInfo::*Release)(const Record*)> class RecordHold {
public:
    RecordHold(TypeInfo& typeInfo, const Record* record) : m_typeInfo(typeInfo), m_record(record) {}
    ~RecordHold() {
        if (m_record)
            (m_typeInfo.*Release)(m_record);
    }
    RecordHold(const RecordHold&) = delete;
    RecordHold& operator=(const RecordHold&) = delete;

private:
    TypeInfo& m_typeInfo;
    const Record* m_record;
};

using TypeAttrHold = RecordHold<TypeAttr, &TypeInfo::ReleaseTypeAttr>;
using FuncDescHold = RecordHold<FuncDesc, &TypeInfo::ReleaseFuncDesc>;
using VarDescHold = RecordHold<VarDesc, &TypeInfo::ReleaseVarDesc>;

const QString kLineEnd = QStringLiteral("\r\n");

QString invokeKindLabel(qint32 invkind) {
    switch (invkind) {
    case InvokePropertyGet:
        return QStringLiteral("属性/读");
    case InvokePropertyPut:
        return QStringLiteral("属性/写");
    case InvokePropertyPutRef:
        return QStringLiteral("属性/引用写");
    default:
        return QStringLiteral("方法");
    }
}

TypeDocumentation documentationOf(TypeInfo& typeInfo, qint32 memid) {
    TypeDocumentation doc;
    if (typeInfo.GetDocumentation(memid, &doc) < 0)
        return {}; // a failed call leaves nothing to show
    return doc;
}

struct Counts {
    int properties = 0;
    int methods = 0;
};

void describeFunction(TypeInfo& typeInfo, const FuncDesc& desc, Counts& counts, QString& body) {
    if (desc.invkind == InvokeFunc)
        ++counts.methods;
    else
        ++counts.properties;
    body += invokeKindLabel(desc.invkind);

    // A negative count from a broken record would make no sense as an array size.
    const int params = desc.cParams > 0 ? desc.cParams : 0;
    QList<QString> names(params + 1);
    int written = 0;
    if (typeInfo.GetNames(desc.memid, names.data(), int(names.size()), &written) != 0)
        return; // the label stays, alone
    body += QLatin1Char(':');

    const bool takesParameters = desc.invkind != InvokePropertyGet;
    body += names[0];
    if (takesParameters) {
        for (int p = 1; p <= params; ++p) {
            body += kLineEnd + QStringLiteral("参数<") + formatNumber(p) + QLatin1Char('>');
            body += names[p].isEmpty() ? QStringLiteral("参数") + formatNumber(p) : names[p];
        }
    }
    if (params > 0 && takesParameters) {
        body += kLineEnd + QStringLiteral("参数数量:") + QString::number(desc.cParams);
        if (desc.cParamsOpt > 0)
            body += QLatin1Char('\t') + QStringLiteral("可选参数数量:") +
                    QString::number(desc.cParamsOpt);
    }
    const TypeDocumentation doc = documentationOf(typeInfo, desc.memid);
    if (doc.docString)
        body += kLineEnd + QStringLiteral("解释:") + *doc.docString;
    body += kLineEnd + kLineEnd;
}

void describeVariable(TypeInfo& typeInfo, const VarDesc& desc, Counts& counts, QString& body) {
    ++counts.properties;
    body += QStringLiteral("属性");
    QString name;
    int written = 0;
    if (typeInfo.GetNames(desc.memid, &name, 1, &written) != 0)
        return;
    body += QLatin1Char(':') + name + kLineEnd;
}
} // namespace

QString DescribeTypeInfo(TypeInfo& typeInfo) {
    const TypeAttr* attr = nullptr;
    const int status = typeInfo.GetTypeAttr(&attr);
    if (status < 0 || !attr) {
        // A success without a record is as unusable as a failure; report it as one.
        const int code = status < 0 ? status : TypeInfoStatus::Fail;
        return QStringLiteral("ITypeInfo::GetTypeAttr() failed: ") + QString::number(code);
    }

    Counts counts;
    QString body;
    {
        const TypeAttrHold attrHold(typeInfo, attr);
        const TypeAttr copy = *attr;
        for (int i = 0; i < copy.cFuncs; ++i) {
            const FuncDesc* desc = nullptr;
            if (typeInfo.GetFuncDesc(i, &desc) < 0 || !desc)
                continue; // nothing obtained, nothing to show or give back
            const FuncDescHold hold(typeInfo, desc);
            if (desc->wFuncFlags == FuncFlagRestricted)
                continue;
            describeFunction(typeInfo, *desc, counts, body);
        }
        for (int i = 0; i < copy.cVars; ++i) {
            const VarDesc* desc = nullptr;
            if (typeInfo.GetVarDesc(i, &desc) < 0 || !desc)
                continue;
            const VarDescHold hold(typeInfo, desc);
            describeVariable(typeInfo, *desc, counts, body);
        }
    }

    const TypeDocumentation type = documentationOf(typeInfo, MemberIdNil);
    QString text = QStringLiteral("对象类型名称:") + type.name.value_or(QString()) +
                   QStringLiteral("    共有 ") + QString::number(counts.properties) +
                   QStringLiteral(" 个属性(含读/写)，") + QString::number(counts.methods) +
                   QStringLiteral(" 个方法") + kLineEnd;
    if (type.docString)
        text += QStringLiteral("解释： ") + *type.docString;
    if (type.helpFile)
        text += kLineEnd + kLineEnd + QStringLiteral("帮助文件： ") + *type.helpFile + kLineEnd +
                QStringLiteral("帮助标记值：") + QString::number(qint32(type.helpContext));
    text += kLineEnd + kLineEnd + kLineEnd + body;
    return text;
}
