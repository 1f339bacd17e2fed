#include "desktop/JsonReader.h"

#include "engine/ScriptThread.h"

#include <QFile>

QString JsonReader::script() {
    static const QString text = [] {
        QFile file(QStringLiteral(":/desktop/json.js"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }();
    return text;
}

JsonReader::JsonReader() {
    ScriptThread::instance().call([&] {
        m_script = std::make_unique<CarriedScript>(
            script(),
            CarriedScript::Setup{StopWatch::kDefaultInterval, QStringLiteral("json.js"), {}});
    });
    run({}, {}); // a load that failed is the first error
}

JsonReader::~JsonReader() {
    m_parsed = Variant(); // the value before its engine
    ScriptThread::instance().call([&] { m_script.reset(); });
}

Variant JsonReader::run(const QString& entry, const QList<Variant>& args) {
    m_error = ScriptError();
    CarriedCall call;
    ScriptThread::instance().call([&] {
        call = entry.isEmpty() ? m_script->loadFailure()
                               : m_script->call(entry, args, kConvertedTextLimit);
    });
    switch (call.status) {
    case CarriedCall::Ok:
        return call.value;
    case CarriedCall::Threw:
        m_error.number = call.errorName.isEmpty()
                             ? int(ScriptError::Thrown)
                             : ScriptError::numberFor(call.errorName, call.message);
        m_error.description = call.message;
        break;
    case CarriedCall::Stopped:
    case CarriedCall::TimedOut:
        m_error.number = ScriptError::Stopped;
        m_error.description = QStringLiteral("脚本运行已被用户中止");
        break;
    }
    return {};
}

Variant JsonReader::Parse(const QString& text) {
    Variant parsed = run(QStringLiteral("parse"), {Variant::fromString(text)});
    if (m_error.number != 0)
        parsed = Variant();
    m_parsed = parsed;
    if (parsed.isObject())
        ScriptThread::instance().call([&] { m_script->setGlobal("jsonobj", parsed); });
    return parsed;
}

Variant JsonReader::Value(const QString& path) {
    if (!m_parsed.isObject())
        return {};
    return run(QStringLiteral("valueAt"), {m_parsed, Variant::fromString(path)});
}

int JsonReader::ArrayLength(const QString& path) {
    if (!m_parsed.isObject())
        return 0;
    const Variant length =
        run(QStringLiteral("arrayLengthAt"), {m_parsed, Variant::fromString(path)});
    return int(length.toDouble()); // toward zero
}

QString JsonReader::toJson(const Variant& value) {
    return run(QStringLiteral("tostring"), {value}).toText();
}

QString JsonReader::allKeys(const Variant& value) {
    return run(QStringLiteral("GetAllKey"), {value}).toText();
}
