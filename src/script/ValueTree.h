#pragma once
// The reads behind the inspector's tree: one page of an object's own members at a time,
// each with a short preview (`{a: 1, …}`, `Array(3)`, `ƒ name(a, b)`, `"text"`), and a
// getter's value when the user asks for it. Members are taken from their descriptors, so
// listing runs none of the object's getters; only a proxy's traps can run script code
// while listing. Every read runs on the script thread under the stop check: "停止" ends
// it, and the result then says it was stopped. May be called from any thread.

#include <QList>
#include <QString>

#include <memory>

class ScriptObject;
class SourceScan;

struct ValueEntry {
    enum Kind {
        Value,     // a data member
        Getter,    // an accessor with a getter, not read yet
        Setter,    // an accessor with a setter only
        Prototype, // the object's [[Prototype]]
    };
    Kind kind = Value;
    QString name;
    QString preview;
    // The member's value when it is an object or a function (it can be opened), the
    // getter function for a Getter, the prototype for a Prototype.
    std::shared_ptr<ScriptObject> object;
};

struct ValuePage {
    QList<ValueEntry> entries;
    int total = 0; // members the object has (array elements and named members)
    int next = 0;  // where the next page starts; == total when this page was the last
    bool stopped = false;
    QString failure; // the object could not be listed (a revoked proxy, say)
};

// Members [offset, offset + count) of the object: array elements first (by index, holes
// left out), then the named and symbol-keyed members in the engine's order; the
// [[Prototype]] closes the last page. Arrays beyond 100,000 elements list their elements
// and `length` only, as naming all their members would take seconds.
ValuePage readMembers(const ScriptObject& object, int offset, int count);

struct GetterValue {
    bool stopped = false;
    bool threw = false;
    QString preview; // the value's preview, or the exception's text when it threw
    std::shared_ptr<ScriptObject> object; // when the value is an object or a function
};

// Runs the getter with `receiver` as `this`.
GetterValue readGetter(const ScriptObject& getter, const ScriptObject& receiver);

// The preview of the object itself (the tree's top row); empty when stopped.
QString previewOf(const ScriptObject& object);

// `ƒ name(a, b)` from a function's name and the head of its text; `class Name` for a
// class, `async ƒ …` for an async function.
QString functionPreview(const QString& name, const QString& sourceHead, const SourceScan& scan);
