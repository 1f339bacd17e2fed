#include "script/ScriptProcedures.h"

#include "engine/JsHandle.h"
#include "engine/StopWatch.h"
#include "script/SourceScan.h"

#include <QHash>
#include <QSet>

#include <algorithm>

namespace {
struct Written {
    qsizetype order = 0;
    Declaration declaration;
};

QString kindWord(Declaration::Kind kind) {
    switch (kind) {
    case Declaration::Function:
        return QStringLiteral("function");
    case Declaration::Var:
        return QStringLiteral("var");
    case Declaration::Let:
        return QStringLiteral("let");
    case Declaration::Const:
        return QStringLiteral("const");
    case Declaration::Class:
        return QStringLiteral("class");
    case Declaration::Assignment:
        return QStringLiteral("=");
    }
    return {};
}

// Where each name is first written in the texts, with the first parameter list found
// for it (`let f; f = (a) => a` gives f's from the assignment).
QHash<QString, Written> writtenNames(const QStringList& sources) {
    QHash<QString, Written> written;
    const SourceScan& scan = SourceScan::reader();
    for (const QString& source : sources) {
        for (Declaration& d : scan.declarations(source)) {
            const auto it = written.find(d.name);
            if (it == written.end()) {
                const QString name = d.name;
                const qsizetype order = written.size();
                written.insert(name, Written{order, std::move(d)});
            } else if (!it->declaration.parameters && d.parameters) {
                it->declaration.parameters = std::move(d.parameters);
            }
        }
    }
    return written;
}

// Words no binding can be named (so a name from the text goes into a script as it is).
bool isBindingName(const QString& name) {
    static const QSet<QString> reserved = [] {
        QSet<QString> s;
        for (const char* w :
             {"await",    "break",      "case",      "catch", "class",    "const",      "continue",
              "debugger", "default",    "delete",    "do",    "else",     "enum",       "export",
              "extends",  "false",      "finally",   "for",   "function", "if",         "import",
              "in",       "instanceof", "new",       "null",  "return",   "super",      "switch",
              "this",     "throw",      "true",      "try",   "typeof",   "var",        "void",
              "while",    "with",       "yield",     "let",   "static",   "implements", "interface",
              "package",  "private",    "protected", "public"})
            s.insert(QString::fromLatin1(w));
        return s;
    }();
    if (name.isEmpty() || name[0] == QLatin1Char('#') || name[0].isDigit())
        return false;
    for (QChar c : name)
        if (c.isSpace() || (c.unicode() < 128 && !c.isLetterOrNumber() && c != QLatin1Char('_') &&
                            c != QLatin1Char('$') && c != QLatin1Char('\\') &&
                            c != QLatin1Char('{') && c != QLatin1Char('}')))
            return false;
    return !reserved.contains(name);
}

// Runs `(function () { BODY })` with `this` the store; false when it could not.
bool fillStore(JSGlobalContextRef ctx, const QString& body, JSObjectRef store) {
    if (!StopWatch::enter(ctx))
        return false;
    const JsString script(QStringLiteral("(function () {\n") + body + QStringLiteral("})"));
    JSValueRef exception = nullptr;
    JSValueRef fn = JSEvaluateScript(ctx, script.get(), nullptr, nullptr, 1, &exception);
    if (exception || !fn || !JSValueIsObject(ctx, fn) || !StopWatch::enter(ctx))
        return false;
    JSObjectCallAsFunction(ctx, JSValueToObject(ctx, fn, nullptr), store, 0, nullptr, &exception);
    return !exception;
}

// The values of top-level lexical bindings, read in the script's own context (no other
// can see them) into a store by index, a binding not yet initialised or never made
// leaving its slot undefined. Reading a binding runs no code. Names go in groups of
// kGroup under one try each, so a script that declares thousands compiles quickly; the
// names of a group that threw are read again one by one. The store is kept from
// collection while the caller reads it.
JsProtected bindingValues(JSGlobalContextRef ctx, const QStringList& names) {
    constexpr qsizetype kGroup = 64;
    if (names.isEmpty())
        return {};
    // No prototype: storing into it runs no setter a script may have put on one.
    JSObjectRef store = JSObjectMake(ctx, nullptr, nullptr);
    JSObjectSetPrototype(ctx, store, JSValueMakeNull(ctx));
    JsProtected kept(ctx, store);
    QString body;
    for (qsizetype from = 0; from < names.size(); from += kGroup) {
        QStringList group;
        for (qsizetype i = from; i < std::min(names.size(), from + kGroup); ++i)
            group << QStringLiteral("this[%1] = %2").arg(i).arg(names[i]);
        body += QStringLiteral("try { %1; } catch { this.failed%2 = 1; }\n")
                    .arg(group.join(QStringLiteral(", ")))
                    .arg(from / kGroup);
    }
    if (!fillStore(ctx, body, store))
        return {};
    body.clear();
    for (qsizetype from = 0; from < names.size(); from += kGroup) {
        JSValueRef failed =
            jsGetProperty(ctx, store, QStringLiteral("failed%1").arg(from / kGroup));
        if (!failed || JSValueIsUndefined(ctx, failed))
            continue;
        for (qsizetype i = from; i < std::min(names.size(), from + kGroup); ++i)
            body += QStringLiteral("try { this[%1] = %2; } catch {}\n").arg(i).arg(names[i]);
    }
    if (!body.isEmpty() && !fillStore(ctx, body, store))
        return {};
    return kept;
}

QStringList parameterNames(const FunctionParameters& params) {
    QStringList names;
    for (const FunctionParameter& p : params)
        names << p.name;
    return names;
}
} // namespace

QList<Procedure> scriptProcedures(JSGlobalContextRef ctx, const QStringList& sources) {
    const QHash<QString, Written> written = writtenNames(sources);

    struct Found {
        qsizetype order;
        Procedure procedure;
    };
    std::vector<Found> found;
    JsString lengthKey("length");
    auto add = [&](JSObjectRef fn, const QString& name, qsizetype order) {
        Procedure p;
        p.name = name;
        JSValueRef length = StopWatch::enter(ctx)
                                ? JSObjectGetProperty(ctx, fn, lengthKey.get(), nullptr)
                                : nullptr;
        p.numArgs = length ? int(JSValueToNumber(ctx, length, nullptr)) : 0;
        const auto it = written.constFind(name);
        if (it != written.constEnd()) {
            const Declaration& d = it->declaration;
            p.definedBy = kindWord(d.kind);
            p.offset = d.offset;
            if (d.parameters)
                p.parameterNames = parameterNames(*d.parameters);
        }
        found.push_back({order, std::move(p)});
    };

    JSObjectRef global = JSContextGetGlobalObject(ctx);
    QSet<QString> onGlobal;
    const JsPropertyNames names(ctx, global);
    const size_t count = JSPropertyNameArrayGetCount(names.get());
    for (size_t i = 0; i < count; ++i) {
        // A global getter is script code; a stopped job lists no more.
        if (!StopWatch::enter(ctx))
            break;
        JSStringRef key = JSPropertyNameArrayGetNameAtIndex(names.get(), i);
        JSValueRef v = JSObjectGetProperty(ctx, global, key, nullptr);
        JSObjectRef fn = v && JSValueIsObject(ctx, v) ? JSValueToObject(ctx, v, nullptr) : nullptr;
        if (!fn || !JSObjectIsFunction(ctx, fn))
            continue;
        const QString name(reinterpret_cast<const QChar*>(JSStringGetCharactersPtr(key)),
                           qsizetype(JSStringGetLength(key)));
        onGlobal.insert(name);
        // Names not found in the text (set by code at run time) follow, in engine order.
        const auto it = written.constFind(name);
        add(fn, name, it != written.constEnd() ? it->order : written.size() + qsizetype(i));
    }

    // let, const and class bindings live beside the global object, not on it.
    QStringList lexical;
    std::vector<qsizetype> lexicalOrder;
    for (auto it = written.constBegin(); it != written.constEnd(); ++it) {
        const Declaration::Kind kind = it->declaration.kind;
        if ((kind == Declaration::Let || kind == Declaration::Const ||
             kind == Declaration::Class) &&
            !onGlobal.contains(it.key()) && isBindingName(it.key())) {
            lexical << it.key();
            lexicalOrder.push_back(it->order);
        }
    }
    if (const JsProtected results = bindingValues(ctx, lexical)) {
        JSObjectRef values = JSValueToObject(ctx, results.get().value, nullptr);
        for (qsizetype i = 0; i < lexical.size(); ++i) {
            JSValueRef v = JSObjectGetPropertyAtIndex(ctx, values, unsigned(i), nullptr);
            JSObjectRef fn =
                v && JSValueIsObject(ctx, v) ? JSValueToObject(ctx, v, nullptr) : nullptr;
            if (fn && JSObjectIsFunction(ctx, fn))
                add(fn, lexical[i], lexicalOrder[size_t(i)]);
        }
    }

    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.order < b.order; });
    QList<Procedure> list;
    list.reserve(qsizetype(found.size()));
    for (Found& f : found)
        list.append(std::move(f.procedure));
    return list;
}
