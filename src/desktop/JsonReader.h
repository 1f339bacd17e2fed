#pragma once
// Reads a JSON text with the carried JSON script in an engine of its own on the script
// thread (its calls go there from any thread), gone with the reader.

#include "engine/CarriedScript.h"
#include "engine/Variant.h"
#include "script/ScriptError.h"

#include <QString>

#include <memory>

class JsonReader {
public:
    // A fresh engine with the JSON script loaded.
    JsonReader();
    ~JsonReader();
    JsonReader(const JsonReader&) = delete;
    JsonReader& operator=(const JsonReader&) = delete;

    // Parses the text with JSON.parse (never as code), keeps the value and makes it
    // visible to scripts as "jsonobj". The empty value when the text is not JSON;
    // error() then says why.
    Variant Parse(const QString& text);
    // The member at a path below the parsed value ("info.download[0]"); the empty value
    // when there is no such member.
    Variant Value(const QString& path);
    // The length of the array at the path; 0 when it is missing or no array.
    int ArrayLength(const QString& path);

    // The engine's last error (number 0: none).
    ScriptError error() const { return m_error; }
    // The JSON text of a value, and the names of its enumerable members joined by ",".
    QString toJson(const Variant& value);
    QString allKeys(const Variant& value);

    // The carried script itself.
    static QString script();

private:
    Variant run(const QString& entry, const QList<Variant>& args);

    std::unique_ptr<CarriedScript> m_script;
    ScriptError m_error;
    Variant m_parsed;
};
