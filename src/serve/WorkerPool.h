#pragma once
// The engines of the call service and the one queue in front of them: a request goes to
// the first engine that is free, so a long call holds up only its own engine. The pool
// keeps no state of its own between calls; each engine keeps what its calls leave.

#include "script/ScriptError.h"
#include "serve/CallRequest.h"
#include "serve/CallRunner.h"

#include <QByteArray>
#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class ScriptEngine;
class ServiceWorker;

struct PoolHealth {
    int workers = 0;
    int busy = 0;
    int queued = 0;
    qint64 served = 0; // calls answered
    qint64 errors = 0; // of those, answered with an engine error
};

class WorkerPool {
public:
    using Done = std::function<void(const CallOutcome&)>;

    WorkerPool();
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    // Starts `workers` engines, each loaded with the texts; blocks until all are loaded.
    // The error of a text that failed (the pool then has no engines), or none.
    ScriptError start(int workers, const QStringList& sources, double timeoutSeconds,
                      qsizetype queueLimit);

    // Queues a request; false when every engine is busy and the queue is full. `queued`
    // runs under the pool's lock before an engine can take the request (the caller
    // suspends its connection there); `done` runs on the engine's thread.
    bool submit(CallRequest request, Done done, const std::function<void()>& queued);

    PoolHealth health() const;
    // Written once at start, from the first engine.
    QByteArray functionList() const { return m_functions; }

    // Answers everything queued and in flight, then releases the engines.
    void stop();

private:
    struct Job {
        CallRequest request;
        Done done;
    };
    enum class State { Idle, Busy, Waiting };
    struct Slot {
        std::unique_ptr<ServiceWorker> worker;
        // Waiting: done with its calls, the engine looks out for the next one for a moment
        // before its thread goes to sleep; a request then goes to it without a wake-up.
        State state = State::Idle;
    };
    void drain(Slot& slot, ScriptEngine& engine);
    // Under the lock: the next request for the slot, or none (the slot is then free).
    std::optional<Job> takeNext(Slot& slot);
    // Without the lock: looks out for a queued request for a moment; the next request or
    // none (the slot is then free).
    std::optional<Job> awaitNext(Slot& slot);

    std::vector<Slot> m_slots;
    std::deque<Job> m_queue;
    std::atomic<qsizetype> m_queued{0}; // m_queue's size, read without the lock
    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    qsizetype m_queueLimit = 0;
    double m_timeout = 10.0;
    qint64 m_served = 0;
    qint64 m_errors = 0;
    QByteArray m_functions = "[]";
};
