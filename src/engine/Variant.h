#pragma once
// A tagged value with the type numbers of automation VARIANTs. Engine results arrive as
// Variants; the coercions mirror VariantChangeType for the conversions the workbench needs.

#include <QString>

#include <memory>
#include <optional>

class ScriptObject;

class Variant {
public:
    enum Type : quint16 {
        Empty = 0,
        Null = 1,
        I2 = 2,
        I4 = 3,
        R4 = 4,
        R8 = 5,
        Currency = 6,
        Date = 7,
        BStr = 8,
        Dispatch = 9,
        Error = 10,
        Bool = 11,
        VariantType = 12,
        Unknown = 13,
        Decimal = 14,
        I1 = 16,
        UI1 = 17,
        UI2 = 18,
        UI4 = 19,
        I8 = 20,
        UI8 = 21,
        Int = 22,
        UInt = 23,
        Void = 24,
        HResult = 25,
        LpStr = 30,
        LpWStr = 31,
        FileTime = 64,
        VectorFlag = 0x1000,
        ArrayFlag = 0x2000,
        ByRefFlag = 0x4000,
        TypeMask = 0x0FFF,
    };

    // 1 January of the year 100: the default of a failed date coercion.
    static constexpr double kDefaultDate = -657434.0;

    Variant() = default;
    static Variant null();
    static Variant fromBool(bool value);
    static Variant fromInt(qint32 value);
    static Variant fromDouble(double value);
    static Variant fromString(const QString& value);
    // NaN for a date that has no value (an invalid Date).
    static Variant fromDate(double oleDate);
    // An integer of any size, kept as its decimal digits ("-12345678901234567890").
    static Variant fromDecimal(const QString& digits);
    static Variant fromObject(std::shared_ptr<ScriptObject> object);
    // A value that carries only a type word (kinds the engine never produces).
    static Variant withType(quint16 vt);

    quint16 vt() const { return m_vt; }
    bool isEmpty() const { return m_vt == Empty; }
    bool isObject() const { return m_vt == Dispatch || m_vt == Unknown; }

    // Coercions in the manner of VariantChangeType (flags 0); nullopt when it fails.
    std::optional<double> changeToDouble() const;
    std::optional<QString> changeToString() const;
    std::optional<bool> changeToBool() const;
    std::optional<double> changeToDate() const;

    // The same with the defaults of a failed coercion (0, "", false, 1 Jan 100, none).
    double toDouble() const { return changeToDouble().value_or(0.0); }
    QString toText() const { return changeToString().value_or(QString()); }
    bool toBool() const { return changeToBool().value_or(false); }
    double toDate() const { return changeToDate().value_or(kDefaultDate); }
    std::shared_ptr<ScriptObject> toObject() const;

    // Raw payload access for converters.
    bool boolValue() const { return m_bool; }
    qint32 intValue() const { return m_int; }
    double doubleValue() const { return m_double; }
    const QString& stringValue() const { return m_string; }

private:
    quint16 m_vt = Empty;
    bool m_bool = false;
    qint32 m_int = 0;
    double m_double = 0.0; // R8 and Date
    QString m_string;      // BStr, and the digits of a Decimal
    std::shared_ptr<ScriptObject> m_object;
};
