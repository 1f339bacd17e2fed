#pragma once
// The engine's remote-inspector entry points, found at run time. When one is missing (a
// library built without the inspector, or renamed), available() is false and reason()
// says which one, so the debugger can be left out with that line.

#include <QString>

#include <array>

class InspectorSymbols {
public:
    // The symbol names looked up, in the order of JscInspectorNames.
    using Names = std::array<QByteArray, 4>;
    static Names defaultNames();

    // The process-wide lookup (done once, on first use).
    static const InspectorSymbols& instance();
    // Tests: look up these names instead; takes effect for the next instance() only when
    // called before the first one.
    static void useNamesForTesting(const Names& names);

    explicit InspectorSymbols(const Names& names);

    bool available() const { return m_reason.isEmpty(); }
    QString reason() const { return m_reason; }

    // Tells the engine where its inspector connects (an "address:port" text).
    void setServerAddress(const QByteArray& address) const;
    // Starts the connection from the calling thread's default main context.
    void start() const;

private:
    using MakeCString = void (*)(void* self, const char* text);
    using SetAddress = void (*)(void* cstring);
    using Singleton = void* (*)();
    using Start = void (*)(void* self);

    MakeCString m_makeCString = nullptr;
    SetAddress m_setAddress = nullptr;
    Singleton m_singleton = nullptr;
    Start m_start = nullptr;
    QString m_reason;
};
