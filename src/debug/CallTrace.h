#pragma once
// The call recorder behind "调用跟踪": the chosen functions are replaced in their objects
// by proxies that record each call (arguments, return value or exception, depth) and
// call the original. The first kKeptCalls calls are kept, the rest only counted. The
// proxies stay for the life of the context; what they recorded is taken after each job.
//
// wrap() may run on the inspector thread while the script thread is held at a pause;
// otherwise everything happens on the script thread.

#include "engine/JsHandle.h"

#include <QString>
#include <QStringList>

class CallTrace {
public:
    static constexpr int kKeptCalls = 5000;

    CallTrace() = default;
    CallTrace(const CallTrace&) = delete;
    CallTrace& operator=(const CallTrace&) = delete;

    // Wraps those of the names that are functions now and not wrapped yet (in this
    // context; another context starts afresh). Returns the names still not found.
    QStringList wrap(JSGlobalContextRef context, const QStringList& names);
    // The records since the last take, as JSON ({"calls": [...], "dropped": n}).
    QString take();
    // Lets go of the recorder (its context is going).
    void forget();

    // The call tree, one call per line, two spaces per level:
    //   f(1, "a") → 2
    //     g() 抛出 Error: bad
    static QStringList treeLines(const QString& json, qint64* dropped);

private:
    JSGlobalContextRef context() const { return m_recorder.get().context; }
    JSObjectRef recorder() const { return JSObjectRef(m_recorder.get().value); }

    JsProtected m_recorder; // keeps its context alive too
};
