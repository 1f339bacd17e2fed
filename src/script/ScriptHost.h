#pragma once
// Typed operations on one engine instance. The engine itself lives on the script
// thread; every operation is carried over there and waits through the installed waiter,
// so a script that never ends can be stopped.

#include "engine/EnvironmentPart.h"
#include "engine/Variant.h"
#include "engine/VirtualClock.h"
#include "script/ProcedureList.h"
#include "script/ScriptError.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

class ScriptEngine;

class ScriptHost {
public:
    // Creates the engine at once; an unknown name leaves it uncreated (every operation
    // then returns its empty value).
    explicit ScriptHost(const QString& progId = QStringLiteral("scriptcontrol"));
    ~ScriptHost();
    // A second host on the same engine.
    ScriptHost(const ScriptHost& other) = default;
    ScriptHost& operator=(const ScriptHost&) = delete;

    bool isValid() const;

    bool Language(const QString& language);
    Variant Eval(const QString& expression);
    double AddCode(const QString& code);
    // Always passes five argument texts after the name; missing ones are empty.
    Variant Run(const QString& name, const QString& a1 = {}, const QString& a2 = {},
                const QString& a3 = {}, const QString& a4 = {}, const QString& a5 = {});
    // A call with arguments of any kind (the minifier takes a number).
    Variant RunWith(const QString& name, const QList<Variant>& args);
    bool AddObject(const QString& name, const Variant& object, bool addMembers);
    ScriptError Error() const;
    // Refills the list when the engine reports at least one procedure; otherwise leaves
    // it as it was and returns false.
    bool Procedures(ProcedureList& list) const;
    bool Reset();

    // What each fresh context gets before the user's code, and fixed time and random
    // numbers; both from the next Reset on (see ScriptEngine).
    void setEnvironment(const Environment& parts);
    void setFixedTime(const std::optional<FixedTime>& fixed);
    // The pane lines the user's code wrote since the last call (console, ...).
    QStringList TakeOutput();

    // Runs a batch of work on the engine in one trip to the script thread.
    void withEngine(const std::function<void(ScriptEngine&)>& work) const;

private:
    std::shared_ptr<ScriptEngine> m_engine;
};
