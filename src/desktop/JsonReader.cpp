#include "desktop/JsonReader.h"

#include <QFile>

QString JsonReader::script() {
    static const QString text = [] {
        QFile file(QStringLiteral(":/desktop/json.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return text;
}

JsonReader::JsonReader() {
    m_host.Language(QStringLiteral("JScript"));
    m_host.AddCode(script());
}

// The parsed value goes before the engine: members are destroyed in reverse order.
JsonReader::~JsonReader() = default;

Variant JsonReader::Parse(const QString& text) {
    Variant parsed = m_host.Run(QStringLiteral("parse"), text);
    if (m_host.Error().number != 0)
        parsed = Variant();
    m_parsed = parsed;
    if (parsed.isObject())
        m_host.AddObject(QStringLiteral("jsonobj"), parsed, false);
    return parsed;
}

Variant JsonReader::Value(const QString& path) {
    if (!m_parsed.isObject())
        return {};
    return m_host.RunWith(QStringLiteral("valueAt"), {m_parsed, Variant::fromString(path)});
}

int JsonReader::ArrayLength(const QString& path) {
    if (!m_parsed.isObject())
        return 0;
    const Variant length =
        m_host.RunWith(QStringLiteral("arrayLengthAt"), {m_parsed, Variant::fromString(path)});
    return int(length.toDouble()); // toward zero
}

QString JsonReader::toJson(const Variant& value) {
    return m_host.RunWith(QStringLiteral("tostring"), {value}).toText();
}

QString JsonReader::allKeys(const Variant& value) {
    return m_host.RunWith(QStringLiteral("GetAllKey"), {value}).toText();
}
