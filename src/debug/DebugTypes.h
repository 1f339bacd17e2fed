#pragma once
// What the debugger knows about a paused script, in the terms the window and the command
// line show: sources are the texts added to the main engine (1 = the first "加载代码"
// text), lines are 1-based as in the editor.

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

struct Breakpoint {
    int source = 1; // the n-th text added since the last reset
    int line = 1;
    QString condition;     // empty: always
    QString logExpression; // non-empty: a logpoint, which writes the value and goes on
    // Expressions whose values are reported each time the line is reached without
    // stopping (the command line's --on-break); with none, a plain hit is reported.
    QStringList probes;
    bool scripted = false; // a reporting breakpoint that never stops

    bool operator==(const Breakpoint&) const = default;
};

// A value as the inspector describes it; objects keep their handle for expansion.
struct RemoteValue {
    QString type; // undefined, string, number, boolean, symbol, bigint, object, function
    QString subtype;
    QString className;
    QString description;
    QString objectId;
    QJsonValue value;
    QString preview; // "{a: 1, b: "x"}" for objects with a preview

    static RemoteValue fromJson(const QJsonObject& json);
    bool expandable() const { return !objectId.isEmpty(); }
    // One line for the output pane and the trees.
    QString text() const;
};

struct Property {
    QString name;
    RemoteValue value;
};

struct Scope {
    QString type; // global, with, closure, catch, functionName, globalLexicalEnvironment,
                  // nestedLexical
    QString name;
    QString objectId;
    // The name the window shows for the scope (局部, 闭包, 全局, …).
    QString title() const;
};

struct CallFrame {
    QString id;
    QString functionName;
    int source = 0; // 0: not one of the added texts (an evaluation, a condition)
    int line = 0;
    int column = 0;
    QList<Scope> scopes;
};

struct PauseInfo {
    QString reason; // Breakpoint, exception, DebuggerStatement, PauseOnNextStatement, other
    QList<CallFrame> frames;
    RemoteValue exception; // for reason "exception"
};

struct ProbeHit {
    Breakpoint breakpoint;
    QString expression; // empty for a plain hit
    RemoteValue value;
};
