#pragma once
// JavaScriptCore functions the library exports but declares only in headers it does not
// install. Every such declaration lives here, so there is one place to check when the
// library changes.

#include <JavaScriptCore/JavaScript.h>

extern "C" {
// The time-limit hook: the callback fires once per limit; returning true ends the script.
typedef bool (*JSShouldTerminateCallback)(JSContextRef ctx, void* context);
JS_EXPORT void JSContextGroupSetExecutionTimeLimit(JSContextGroupRef group, double limit,
                                                   JSShouldTerminateCallback callback,
                                                   void* context);
JS_EXPORT void JSContextGroupClearExecutionTimeLimit(JSContextGroupRef group);
// A full collection now; JSGarbageCollect only hints that one would be welcome.
JS_EXPORT void JSSynchronousGarbageCollectForDebugging(JSContextRef context);
}

// Makes the calling thread the library's main thread and creates that thread's run loop.
namespace WTF {
void initializeMainThread();
}
