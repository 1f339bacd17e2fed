#pragma once
// A program the workbench carries (a tool written in JavaScript), loaded once into an
// engine of its own and then called by the name of one of its global functions with typed
// arguments. Every carried tool goes through it: the layout, the minifier, the unpacker,
// the deobfuscator and the update record's reader. The engine holds nothing of the user's
// (no host objects but the functions given here), so a tool run on untrusted text reaches
// no further than the tool itself. Engine thread only.

#include "engine/EngineContext.h"
#include "engine/JsConvert.h"
#include "engine/ToolResult.h"
#include "engine/Variant.h"

#include <QList>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

struct CarriedCall {
    enum Status { Ok, Threw, Stopped, TimedOut };
    Status status = Ok;
    Variant value;     // Ok: what the function returned
    QString errorName; // Threw: the thrown Error's name; empty for a thrown non-Error
    QString message;   // Threw: the Error's message, or the thrown value as text

    bool ok() const { return status == Ok; }
    // The returned text, or the failure: a stop says "脚本运行已被用户中止", a time-out
    // what timedOut says, a throw its message, a value that is no text notText.
    ToolResult toolResult(const QString& notText, const QString& timedOut = {}) const;
};

class CarriedScript {
public:
    // A host function: the arguments as the script gave them; returns the result (nullptr:
    // undefined). It runs on the engine's thread inside the call that reached it.
    using HostFunction = std::function<JSValueRef(JSContextRef, const std::vector<JSValueRef>&)>;

    struct Setup {
        double checkInterval = StopWatch::kDefaultInterval;
        QString url; // the name the script's errors and stack traces carry
        std::vector<std::pair<const char*, HostFunction>> functions;
    };

    // Defines the host functions, then evaluates the bundle in the global scope.
    CarriedScript(const QString& bundle, Setup setup);
    explicit CarriedScript(const QString& bundle);
    ~CarriedScript();
    CarriedScript(const CarriedScript&) = delete;
    CarriedScript& operator=(const CarriedScript&) = delete;

    // False when the bundle threw or the job was stopped while it loaded; loadFailure()
    // then says how (status Threw or Stopped).
    bool isLoaded() const { return m_loaded.ok(); }
    const CarriedCall& loadFailure() const { return m_loaded; }

    // A time limit for the calls from now on (seconds; <= 0: none).
    void setDeadline(double seconds);
    // Defines a global the script cannot enumerate.
    void setGlobal(const char* name, const Variant& value);

    // entry(args...). Texts come back whole unless textLimit says otherwise (see
    // variantFromJs); objects come back as objects of this engine.
    CarriedCall call(const QString& entry, const QList<Variant>& args,
                     qsizetype textLimit = kWholeText);
    // Collects the engine's garbage now (after a large run the engine stays, its garbage
    // need not).
    void collectGarbage();
    const EngineContext& engine() const { return m_engine; }

private:
    CarriedCall ended(JSValueRef exception);

    // The host functions' bodies; they outlive the engine's function objects, which only
    // point at them.
    std::vector<std::unique_ptr<HostFunction>> m_functions;
    EngineContext m_engine;
    CarriedCall m_loaded;
};
