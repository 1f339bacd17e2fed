// Runs the JavaScript tests of the carried scripts in JavaScriptCore itself:
//   vexo-jstests BUNDLE.js
// The bundle (tests/js/*.test.js built by esbuild) runs its cases when evaluated and
// leaves the number of failures in vexoTestFailures. The host gives it print(text),
// carried(name) (the programs exactly as compiled into the product) and
// createRealm(source) (a fresh global object with source run in it).

#include "engine/JsHandle.h"
#include "engine/JscPrivate.h"
#include "tools/CarriedScripts.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <memory>
#include <vector>

namespace {
struct GroupRelease {
    void operator()(JSContextGroupRef g) const { JSContextGroupRelease(g); }
};
struct ContextRelease {
    void operator()(JSGlobalContextRef c) const { JSGlobalContextRelease(c); }
};
using Group = std::unique_ptr<const OpaqueJSContextGroup, GroupRelease>;
using Context = std::unique_ptr<OpaqueJSContext, ContextRelease>;

JSContextGroupRef g_group = nullptr;
std::vector<Context> g_realms; // kept until the run ends: their objects are in use

QString argText(JSContextRef ctx, size_t argc, const JSValueRef argv[], size_t i) {
    return i < argc ? jsValueToQString(ctx, argv[i]) : QString();
}

JSValueRef throwText(JSContextRef ctx, JSValueRef* exception, const QString& text) {
    JSValueRef message = jsMakeString(ctx, text);
    *exception = JSObjectMakeError(ctx, 1, &message, nullptr);
    return JSValueMakeUndefined(ctx);
}

JSValueRef print(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc, const JSValueRef argv[],
                 JSValueRef*) {
    std::fputs(argText(ctx, argc, argv, 0).toUtf8().append('\n').constData(), stdout);
    return JSValueMakeUndefined(ctx);
}

JSValueRef carried(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc, const JSValueRef argv[],
                   JSValueRef* exception) {
    const QString name = argText(ctx, argc, argv, 0);
    QString text;
    if (name == QLatin1String("beautifier"))
        text = CarriedScripts::beautifier();
    else if (name == QLatin1String("jsmin"))
        text = CarriedScripts::minifier();
    else if (name == QLatin1String("unpacker"))
        text = CarriedScripts::unpacker();
    else if (name == QLatin1String("sourcescan"))
        text = CarriedScripts::sourceScan();
    if (text.isEmpty())
        return throwText(ctx, exception, QStringLiteral("no carried script ") + name);
    return jsMakeString(ctx, text);
}

JSValueRef createRealm(JSContextRef ctx, JSObjectRef, JSObjectRef, size_t argc,
                       const JSValueRef argv[], JSValueRef* exception) {
    Context realm(JSGlobalContextCreateInGroup(g_group, nullptr));
    if (argc > 0) {
        JsString source(argText(ctx, argc, argv, 0));
        JSValueRef thrown = nullptr;
        JSEvaluateScript(realm.get(), source.get(), nullptr, nullptr, 1, &thrown);
        if (thrown)
            return throwText(ctx, exception, jsValueToQString(realm.get(), thrown));
    }
    JSObjectRef global = JSContextGetGlobalObject(realm.get());
    g_realms.push_back(std::move(realm));
    return global;
}

void define(JSGlobalContextRef ctx, const char* name, JSObjectCallAsFunctionCallback callback) {
    JsString key(name);
    JSObjectSetProperty(ctx, JSContextGetGlobalObject(ctx), key.get(),
                        JSObjectMakeFunctionWithCallback(ctx, key.get(), callback),
                        kJSPropertyAttributeDontEnum, nullptr);
}
} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: vexo-jstests BUNDLE.js\n", stderr);
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const QString bundle = QString::fromUtf8(file.readAll());

    Group group(JSContextGroupCreate());
    g_group = group.get();
    int failures = 0;
    {
        Context ctx(JSGlobalContextCreateInGroup(g_group, nullptr));
        define(ctx.get(), "print", &print);
        define(ctx.get(), "carried", &carried);
        define(ctx.get(), "createRealm", &createRealm);
        JsString source(bundle);
        JsString url(argv[1]);
        JSValueRef thrown = nullptr;
        JSEvaluateScript(ctx.get(), source.get(), nullptr, url.get(), 1, &thrown);
        if (thrown) {
            std::fprintf(stderr, "the tests threw: %s\n",
                         qPrintable(jsValueToQString(ctx.get(), thrown)));
            failures = 1;
        } else {
            JSValueRef n = jsGetProperty(ctx.get(), JSContextGetGlobalObject(ctx.get()),
                                         QStringLiteral("vexoTestFailures"));
            if (!n || !JSValueIsNumber(ctx.get(), n)) {
                std::fputs("the tests left no vexoTestFailures\n", stderr);
                failures = 1;
            } else {
                failures = int(JSValueToNumber(ctx.get(), n, nullptr));
            }
        }
        g_realms.clear();
    }
    return failures == 0 ? 0 : 1;
}
