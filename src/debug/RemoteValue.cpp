#include "debug/DebugTypes.h"

#include <QJsonArray>

namespace {
// Long texts are cut for display; the value itself stays in the engine.
constexpr qsizetype kTextLimit = 2000;

QString cut(QString text) {
    if (text.size() > kTextLimit) {
        text.truncate(kTextLimit);
        text += QStringLiteral("…");
    }
    return text;
}

QString previewText(const QJsonObject& preview) {
    const bool array = preview.value(QLatin1String("subtype")).toString() == QLatin1String("array");
    QStringList items;
    for (const QJsonValue& p : preview.value(QLatin1String("properties")).toArray()) {
        const QJsonObject prop = p.toObject();
        QString value = prop.value(QLatin1String("value")).toString();
        if (prop.value(QLatin1String("type")).toString() == QLatin1String("string"))
            value = QLatin1Char('"') + value + QLatin1Char('"');
        items << (array ? value
                        : prop.value(QLatin1String("name")).toString() + QStringLiteral(": ") +
                              value);
    }
    if (preview.value(QLatin1String("overflow")).toBool())
        items << QStringLiteral("…");
    return array ? QLatin1Char('[') + items.join(QStringLiteral(", ")) + QLatin1Char(']')
                 : QLatin1Char('{') + items.join(QStringLiteral(", ")) + QLatin1Char('}');
}
} // namespace

RemoteValue RemoteValue::fromJson(const QJsonObject& json) {
    RemoteValue v;
    v.type = json.value(QLatin1String("type")).toString();
    v.subtype = json.value(QLatin1String("subtype")).toString();
    v.className = json.value(QLatin1String("className")).toString();
    v.description = json.value(QLatin1String("description")).toString();
    v.objectId = json.value(QLatin1String("objectId")).toString();
    v.value = json.value(QLatin1String("value"));
    if (json.contains(QLatin1String("preview")))
        v.preview = previewText(json.value(QLatin1String("preview")).toObject());
    return v;
}

QString RemoteValue::text() const {
    if (type == QLatin1String("undefined"))
        return QStringLiteral("undefined");
    if (type == QLatin1String("string"))
        return cut(value.toString());
    if (subtype == QLatin1String("null"))
        return QStringLiteral("null");
    if (type == QLatin1String("function")) {
        // The first line of the source says which function it is.
        return cut(description.section(QLatin1Char('\n'), 0, 0));
    }
    if (type == QLatin1String("object")) {
        if (subtype == QLatin1String("error") || subtype == QLatin1String("regexp") ||
            subtype == QLatin1String("date") || preview.isEmpty())
            return cut(description);
        return cut(description + QLatin1Char(' ') + preview);
    }
    return cut(description.isEmpty() ? value.toVariant().toString() : description);
}

QString Scope::title() const {
    if (type == QLatin1String("global"))
        return QStringLiteral("全局");
    if (type == QLatin1String("closure"))
        return name.isEmpty() ? QStringLiteral("闭包") : QStringLiteral("闭包 %1").arg(name);
    if (type == QLatin1String("catch"))
        return QStringLiteral("catch");
    if (type == QLatin1String("with"))
        return QStringLiteral("with");
    if (type == QLatin1String("globalLexicalEnvironment"))
        return QStringLiteral("全局（let/const）");
    if (type == QLatin1String("functionName"))
        return QStringLiteral("函数名");
    return QStringLiteral("局部");
}
