#pragma once
// A fresh engine for code taken from a script under deobfuscation: its own context group,
// no host objects at all, a time limit, and the user's "停止". Script thread only.

#include "engine/EnvironmentPart.h"
#include "engine/VirtualClock.h"

#include <QString>
#include <QStringList>

#include <optional>

struct SandboxRun {
    enum Status { Ok, Threw, TimedOut, Stopped };
    Status status = Ok;
    // The completion value as text (Ok) or the thrown message (Threw).
    QString value;
    // With an environment: the pane lines the code wrote (console, ...).
    QStringList output;
};

// Evaluates code in a new, empty engine that is released before returning.
SandboxRun runInSandbox(const QString& code, double limitSeconds);
// The same for the user's own code in a page's surroundings: the environment's parts are
// applied first, the due timers run after the code (a stop or time-out there counts as
// one in the code), and the lines written come back in output.
SandboxRun runInSandbox(const QString& code, double limitSeconds, const Environment& environment,
                        const std::optional<FixedTime>& fixed = std::nullopt);
