#pragma once
// One engine of the call service on a thread of its own. The engine is created, used and
// released on that thread; between calls the thread runs its event loop, where the
// engine's garbage collection timers fire. Its stop flag is its own, so the window's
// "停止" never ends a service call.

#include "script/ScriptError.h"

#include <QStringList>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

class ScriptEngine;

class ServiceWorker {
public:
    ServiceWorker();
    // Releases the engine on its thread and ends the thread.
    ~ServiceWorker();
    ServiceWorker(const ServiceWorker&) = delete;
    ServiceWorker& operator=(const ServiceWorker&) = delete;

    // Creates the engine and adds the texts one after the other, each under the time
    // limit; blocks until done. The error of the first text that failed, or none.
    ScriptError load(const QStringList& sources, double timeoutSeconds);
    // Runs work on the engine's thread without waiting.
    void post(std::function<void(ScriptEngine&)> work);
    // Runs work on the engine's thread and waits for it.
    void call(const std::function<void(ScriptEngine&)>& work);

    // Ends a running script at its next check (shutting down without waiting).
    void abort() { m_stop.store(true); }

private:
    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread
    std::unique_ptr<ScriptEngine> m_engine;
    std::atomic<bool> m_stop{false};
};
