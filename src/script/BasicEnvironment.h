#pragma once
// The part every context of the user's code gets first: the console (its lines go to the
// output pane), the timers on virtual time, Date and performance.now() on the virtual
// clock, and, with fixed time and random numbers, a seeded Math.random().

#include "engine/EnvironmentPart.h"

class BasicEnvironment : public EnvironmentPart {
public:
    JSValueRef install(ScriptRuntime& runtime) override;
    // The address its errors name.
    static QString url();
};
