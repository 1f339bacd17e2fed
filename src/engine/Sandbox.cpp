#include "engine/Sandbox.h"

#include "engine/EngineContext.h"
#include "engine/ScriptThread.h"

namespace {
// Often enough that a time-out or "停止" ends a run promptly.
constexpr double kCheckInterval = 0.05;

SandboxRun evaluate(const QString& code, double limitSeconds, const QString* input) {
    SandboxRun run;
    if (ScriptThread::instance().stopRequested()) {
        run.status = SandboxRun::Stopped;
        return run;
    }
    EngineContext engine(kCheckInterval);
    engine.watch()->setDeadline(limitSeconds);
    JSGlobalContextRef context = engine.context();
    if (input)
        engine.setGlobal("vexoInput", jsMakeString(context, *input));
    JSValueRef exception = nullptr;
    JSValueRef value = engine.evaluate(code, {}, &exception);
    switch (engine.watch()->outcome()) {
    case StopWatch::Outcome::Stopped:
        run.status = SandboxRun::Stopped;
        break;
    case StopWatch::Outcome::TimedOut:
        run.status = SandboxRun::TimedOut;
        break;
    case StopWatch::Outcome::Running:
        if (exception) {
            run.status = SandboxRun::Threw;
            run.value = jsValueToQString(context, exception);
        } else {
            run.value = jsValueToQString(context, value);
        }
    }
    return run;
}
} // namespace

SandboxRun runInSandbox(const QString& code, double limitSeconds) {
    return evaluate(code, limitSeconds, nullptr);
}

SandboxRun runInSandbox(const QString& code, double limitSeconds, const QString& input) {
    return evaluate(code, limitSeconds, &input);
}
