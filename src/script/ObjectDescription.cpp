#include "script/ObjectDescription.h"

#include "engine/JsConvert.h"
#include "engine/JsHandle.h"
#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "script/JsTypeInfo.h"
#include "script/TypeInfoListing.h"
#include "script/ValueText.h"

#include <algorithm>
#include <cmath>

const QString kStoppedListing = QStringLiteral("脚本运行已被用户中止，错误号=5100");

namespace {
const QString kLengthLabel = QStringLiteral("数组长度(length)--->");

bool isUsable(const ScriptObject& object) {
    return object.context() && object.object();
}
} // namespace

QString DescribeObject(const std::shared_ptr<ScriptObject>& object, bool* stopped) {
    if (stopped)
        *stopped = false;
    if (!object)
        return {};
    if (!isUsable(*object))
        return QStringLiteral("Could not get IDispatch Interface.");
    bool wasStopped = false;
    const std::unique_ptr<JsTypeInfo> typeInfo = JsTypeInfo::fromObject(*object, &wasStopped);
    if (stopped)
        *stopped = wasStopped;
    if (wasStopped)
        return kStoppedListing;
    if (!typeInfo)
        return QStringLiteral("没有类型信息");
    QString text = DescribeTypeInfo(*typeInfo);
    if (typeInfo->membersLeftOut() > 0)
        text += QStringLiteral("……（其余 %1 个成员未列出）\r\n").arg(typeInfo->membersLeftOut());
    return text;
}

qint32 elementCountOf(double length) {
    // Out of the 64-bit range (and NaN) the conversion gives the "integer indefinite"
    // value 0x8000000000000000, whose low half is 0.
    if (!std::isfinite(length) || length >= 9223372036854775808.0 ||
        length < -9223372036854775808.0)
        return 0;
    const qint64 whole = qint64(length); // truncates toward zero
    return qint32(quint32(quint64(whole) & 0xFFFFFFFFu));
}

QStringList ArrayListing(const std::shared_ptr<ScriptObject>& object, bool* stopped) {
    if (stopped)
        *stopped = false;
    if (!object || !isUsable(*object))
        return {kLengthLabel + formatNumber(0.0)};
    QStringList items;
    bool wasStopped = false;
    ScriptThread::instance().call([&] {
        JSContextRef ctx = object->context();
        JSObjectRef target = object->object();
        const ScriptThread& thread = ScriptThread::instance();
        // A late-bound read by name; a throwing read gives the empty value. Every read and
        // every conversion to text is an entry of its own, so once the user has stopped
        // the job (a getter or a toString that never returns) no further one starts.
        auto read = [&](const QString& name) {
            JSValueRef value = scriptProperty(ctx, target, name);
            return value ? variantFromJs(ctx, value) : Variant();
        };
        const QString lengthText = formatNumber(read(QStringLiteral("length")).toDouble());
        if (thread.stopRequested()) {
            wasStopped = true;
            items.append(kLengthLabel + formatNumber(0.0));
            items.append(QStringLiteral("……（") + kStoppedListing + QStringLiteral("）"));
            return;
        }
        items.append(kLengthLabel + lengthText);
        // Read again, as a getter may give another value the second time.
        const qint32 count = elementCountOf(read(QStringLiteral("length")).toDouble());
        const qint32 shown = std::min(count, qint32(kArrayListingLimit));
        qint32 listed = 0;
        for (; listed < shown && !thread.stopRequested(); ++listed) {
            const QString index = formatNumber(listed);
            const QString text = read(index).toText();
            if (thread.stopRequested())
                break; // the element that had to be stopped has no value to show
            items.append(QStringLiteral("下标") + index + QStringLiteral("--->") + text);
        }
        wasStopped = thread.stopRequested();
        if (wasStopped) {
            QString closing = QStringLiteral("……（") + kStoppedListing;
            if (count > listed)
                closing += QStringLiteral("，其余 %1 项未列出").arg(count - listed);
            items.append(closing + QStringLiteral("）"));
        } else if (listed < count) {
            items.append(QStringLiteral("……（其余 %1 项未列出）").arg(count - listed));
        }
    });
    if (stopped)
        *stopped = wasStopped;
    return items;
}
