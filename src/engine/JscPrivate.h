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

// The remote inspector. The library exports it only as C++ symbols, so they are looked up
// by these mangled names at run time (InspectorSymbols); a library without one of them
// leaves the debugger out and everything else works.
namespace JscInspectorNames {
// WTF::CString::CString(const char*): the address string the server call takes.
inline constexpr const char* kCStringFromChars = "_ZN3WTF7CStringC1EPKc";
// static Inspector::RemoteInspector::setInspectorServerAddress(WTF::CString&&): moves
// the string in (the argument's one pointer is left null).
inline constexpr const char* kSetServerAddress =
    "_ZN9Inspector15RemoteInspector25setInspectorServerAddressEON3WTF7CStringE";
// static Inspector::RemoteInspector& Inspector::RemoteInspector::singleton()
inline constexpr const char* kSingleton = "_ZN9Inspector15RemoteInspector9singletonEv";
// void Inspector::RemoteInspector::start(): connects to the server address from the
// calling thread's default main context.
inline constexpr const char* kStart = "_ZN9Inspector15RemoteInspector5startEv";
} // namespace JscInspectorNames
