#include "engine/Sandbox.h"

#include "engine/EngineContext.h"
#include "engine/ScriptRuntime.h"
#include "engine/ScriptThread.h"

namespace {
// Often enough that a time-out or "停止" ends a run promptly.
constexpr double kCheckInterval = 0.05;

struct SandboxSetting {
    const Environment* environment = nullptr;
    std::optional<FixedTime> fixed;
};

SandboxRun evaluate(const QString& code, double limitSeconds, const SandboxSetting& setting = {}) {
    SandboxRun run;
    if (ScriptThread::instance().stopRequested()) {
        run.status = SandboxRun::Stopped;
        return run;
    }
    EngineContext engine(kCheckInterval);
    engine.watch()->setDeadline(limitSeconds);
    JSGlobalContextRef context = engine.context();
    ScriptOutput output;
    std::unique_ptr<ScriptRuntime> runtime;
    JSValueRef exception = nullptr;
    if (setting.environment) {
        if (JSClassRef globalClass = setting.environment->isEmpty()
                                         ? nullptr
                                         : setting.environment->first()->globalClass()) {
            engine.resetGlobal(globalClass);
            context = engine.context();
        }
        runtime = std::make_unique<ScriptRuntime>(context, output, setting.fixed);
        exception = runtime->install(*setting.environment);
    }
    JSValueRef value = exception ? nullptr : engine.evaluate(code, {}, &exception);
    if (runtime) {
        if (!exception)
            runtime->runTimers();
        run.output = output.take();
    }
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
    return evaluate(code, limitSeconds);
}

SandboxRun runInSandbox(const QString& code, double limitSeconds, const Environment& environment,
                        const std::optional<FixedTime>& fixed) {
    return evaluate(code, limitSeconds, SandboxSetting{&environment, fixed});
}
