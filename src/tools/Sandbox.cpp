#include "tools/Sandbox.h"

#include "engine/JsHandle.h"
#include "engine/JscPrivate.h"
#include "engine/ScriptThread.h"

#include <QElapsedTimer>

namespace {
// Often enough that a time-out or "停止" ends a run promptly.
constexpr double kCheckInterval = 0.05;

struct Watch {
    JSContextGroupRef group = nullptr;
    QElapsedTimer clock;
    qint64 limitMs = 0;
    bool timedOut = false;
};

bool shouldTerminate(JSContextRef, void* data);

void arm(Watch* watch) {
    JSContextGroupSetExecutionTimeLimit(watch->group, kCheckInterval, &shouldTerminate, watch);
}

bool shouldTerminate(JSContextRef, void* data) {
    auto* watch = static_cast<Watch*>(data);
    if (ScriptThread::instance().stopRequested())
        return true;
    if (watch->limitMs > 0 && watch->clock.elapsed() >= watch->limitMs) {
        watch->timedOut = true;
        return true;
    }
    arm(watch); // the callback fires once per limit
    return false;
}
SandboxRun evaluate(const QString& code, double limitSeconds, const QString* input) {
    SandboxRun run;
    if (ScriptThread::instance().stopRequested()) {
        run.status = SandboxRun::Stopped;
        return run;
    }
    Watch watch;
    watch.group = JSContextGroupCreate();
    watch.limitMs = qint64(limitSeconds * 1000.0);
    watch.clock.start();
    arm(&watch);
    JSGlobalContextRef context = JSGlobalContextCreateInGroup(watch.group, nullptr);
    {
        if (input) {
            JsString name("vexoInput");
            JSObjectSetProperty(context, JSContextGetGlobalObject(context), name.get(),
                                jsMakeString(context, *input), kJSPropertyAttributeDontEnum,
                                nullptr);
        }
        JsString script(code);
        JSValueRef exception = nullptr;
        JSValueRef value = JSEvaluateScript(context, script.get(), nullptr, nullptr, 1, &exception);
        if (ScriptThread::instance().stopRequested()) {
            run.status = SandboxRun::Stopped;
        } else if (watch.timedOut) {
            run.status = SandboxRun::TimedOut;
        } else if (exception) {
            run.status = SandboxRun::Threw;
            run.value = jsValueToQString(context, exception);
        } else {
            run.value = jsValueToQString(context, value);
        }
    }
    JSContextGroupClearExecutionTimeLimit(watch.group);
    JSGlobalContextRelease(context);
    JSContextGroupRelease(watch.group);
    return run;
}
} // namespace

SandboxRun runInSandbox(const QString& code, double limitSeconds) {
    return evaluate(code, limitSeconds, nullptr);
}

SandboxRun runInSandbox(const QString& code, double limitSeconds, const QString& input) {
    return evaluate(code, limitSeconds, &input);
}
