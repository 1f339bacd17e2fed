// Runs script files one after the other in one plain JavaScriptCore context (no host
// objects but print() and now()) and prints how long each took. Used to measure the
// candidate syntax-tree libraries as the workbench would load them.
//   jscrun [-D name=FILE]... FILE...
// -D reads FILE into the global string `name` before the scripts run.

#include <JavaScriptCore/JavaScript.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

namespace {
std::string readFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string toUtf8(JSContextRef ctx, JSValueRef v) {
    JSStringRef s = JSValueToStringCopy(ctx, v, nullptr);
    if (!s)
        return "?";
    std::string out(JSStringGetMaximumUTF8CStringSize(s), '\0');
    out.resize(JSStringGetUTF8CString(s, out.data(), out.size()) - 1);
    JSStringRelease(s);
    return out;
}

double nowMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

JSValueRef print(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc, const JSValueRef argv[],
                 JSValueRef*) {
    for (size_t i = 0; i < argc; ++i)
        std::printf(i ? " %s" : "%s", toUtf8(ctx, argv[i]).c_str());
    std::printf("\n");
    std::fflush(stdout);
    return JSValueMakeUndefined(ctx);
}

JSValueRef now(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t, const JSValueRef[],
               JSValueRef*) {
    return JSValueMakeNumber(ctx, nowMs());
}

void setGlobal(JSGlobalContextRef ctx, const char* name, JSValueRef value) {
    JSStringRef key = JSStringCreateWithUTF8CString(name);
    JSObjectSetProperty(ctx, JSContextGetGlobalObject(ctx), key, value, 0, nullptr);
    JSStringRelease(key);
}

void addFunction(JSGlobalContextRef ctx, const char* name, JSObjectCallAsFunctionCallback fn) {
    JSStringRef key = JSStringCreateWithUTF8CString(name);
    setGlobal(ctx, name, JSObjectMakeFunctionWithCallback(ctx, key, fn));
    JSStringRelease(key);
}
} // namespace

int main(int argc, char* argv[]) {
    JSGlobalContextRef ctx = JSGlobalContextCreate(nullptr);
    addFunction(ctx, "print", print);
    addFunction(ctx, "now", now);
    int status = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-D") == 0 && i + 1 < argc) {
            std::string def = argv[++i];
            const auto eq = def.find('=');
            const std::string text = readFile(def.substr(eq + 1).c_str());
            JSStringRef s = JSStringCreateWithUTF8CString(text.c_str());
            setGlobal(ctx, def.substr(0, eq).c_str(), JSValueMakeString(ctx, s));
            JSStringRelease(s);
            continue;
        }
        const std::string code = readFile(argv[i]);
        JSStringRef script = JSStringCreateWithUTF8CString(code.c_str());
        JSStringRef url = JSStringCreateWithUTF8CString(argv[i]);
        JSValueRef exception = nullptr;
        const double t0 = nowMs();
        JSEvaluateScript(ctx, script, nullptr, url, 1, &exception);
        const double t1 = nowMs();
        JSStringRelease(script);
        JSStringRelease(url);
        if (exception) {
            std::printf("%s: exception: %s\n", argv[i], toUtf8(ctx, exception).c_str());
            status = 1;
        } else {
            std::printf("%s: %.1f ms\n", argv[i], t1 - t0);
        }
    }
    JSGlobalContextRelease(ctx);
    return status;
}
