#pragma once
// A fresh engine for code taken from a script under deobfuscation: its own context group,
// no host objects at all, a time limit, and the user's "停止". Script thread only.

#include <QString>

struct SandboxRun {
    enum Status { Ok, Threw, TimedOut, Stopped };
    Status status = Ok;
    // The completion value as text (Ok) or the thrown message (Threw).
    QString value;
};

// Evaluates code in a new, empty engine that is released before returning.
SandboxRun runInSandbox(const QString& code, double limitSeconds);
// The same with one global more: vexoInput, the given text (a script's text is handed
// over as it is, not quoted into the code).
SandboxRun runInSandbox(const QString& code, double limitSeconds, const QString& input);
