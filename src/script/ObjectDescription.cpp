#include "script/ObjectDescription.h"

#include "script/JsConvert.h"
#include "script/JsHandles.h"
#include "script/JsTypeInfo.h"
#include "script/ScriptObject.h"
#include "script/ScriptThread.h"
#include "script/TypeInfoListing.h"
#include "script/ValueText.h"

#include <algorithm>
#include <cmath>

namespace {
const QString kLengthLabel = QStringLiteral("数组长度(length)--->");

bool isUsable(const ScriptObject& object) {
    return object.context() && object.object();
}
} // namespace

QString DescribeObject(const std::shared_ptr<ScriptObject>& object) {
    if (!object)
        return {};
    if (!isUsable(*object))
        return QStringLiteral("Could not get IDispatch Interface.");
    const std::unique_ptr<JsTypeInfo> typeInfo = JsTypeInfo::fromObject(*object);
    if (!typeInfo)
        return QStringLiteral("没有类型信息");
    return DescribeTypeInfo(*typeInfo);
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

QStringList ArrayListing(const std::shared_ptr<ScriptObject>& object) {
    if (!object || !isUsable(*object))
        return {kLengthLabel + formatNumber(0.0)};
    QStringList items;
    ScriptThread::instance().call([&] {
        JSContextRef ctx = object->context();
        JSObjectRef target = object->object();
        // A late-bound read by name; a throwing read gives the empty value.
        auto read = [&](const QString& name) {
            JSValueRef value = jsGetProperty(ctx, target, name);
            return value ? variantFromJs(ctx, value) : Variant();
        };
        items.append(kLengthLabel + formatNumber(read(QStringLiteral("length")).toDouble()));
        // Read again, as a getter may give another value the second time.
        const qint32 count = elementCountOf(read(QStringLiteral("length")).toDouble());
        const qint32 shown = std::min(count, qint32(kArrayListingLimit));
        qint32 listed = 0;
        for (; listed < shown; ++listed) {
            if (ScriptThread::instance().stopRequested())
                break; // an element getter that had to be stopped ends the listing
            const QString index = formatNumber(listed);
            items.append(QStringLiteral("下标") + index + QStringLiteral("--->") +
                         read(index).toText());
        }
        if (listed < count)
            items.append(QStringLiteral("……（其余 %1 项未列出）").arg(count - listed));
    });
    return items;
}
