#pragma once
// A part of what every fresh context of the user's code gets before the user's code: the
// console and the timers, a browser-shaped global, the user's own environment code. The
// engine applies its parts in order to each new global context, through the context's
// ScriptRuntime. Parts are made anywhere and used on the engine thread only.

#include <JavaScriptCore/JavaScript.h>

#include <QList>

#include <memory>

class ScriptRuntime;

class EnvironmentPart {
public:
    virtual ~EnvironmentPart() = default;
    // The class of the global object the part needs (one that sees each missing global
    // name, say); nullptr for the engine's own. The first part that names one decides.
    virtual JSClassRef globalClass() const { return nullptr; }
    // Sets the context up (runtime.runPrelude, runtime.addHostFunction, ...). Returns the
    // exception it ended with, nullptr when all went well; the engine reports it as the
    // load's error.
    virtual JSValueRef install(ScriptRuntime& runtime) = 0;
};

using Environment = QList<std::shared_ptr<EnvironmentPart>>;
