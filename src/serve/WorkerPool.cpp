#include "serve/WorkerPool.h"

#include "serve/ServiceWorker.h"
#include "serve/ShortWait.h"

WorkerPool::WorkerPool() = default;

WorkerPool::~WorkerPool() {
    stop();
}

ScriptError WorkerPool::start(int workers, const QStringList& sources, double timeoutSeconds,
                              qsizetype queueLimit) {
    m_timeout = timeoutSeconds;
    m_queueLimit = queueLimit;
    std::vector<Slot> engines(size_t(qMax(1, workers)));
    for (Slot& slot : engines)
        slot.worker = std::make_unique<ServiceWorker>();
    // The engines load one after the other: a script that fails, fails in the first.
    for (Slot& slot : engines) {
        const ScriptError error = slot.worker->load(sources, timeoutSeconds);
        if (error.number != ScriptError::None)
            return error;
    }
    engines.front().worker->call(
        [this](ScriptEngine& engine) { m_functions = functionListJson(engine); });
    std::lock_guard lock(m_mutex);
    m_slots = std::move(engines);
    m_served = 0; // the counts are this run's
    m_errors = 0;
    return {};
}

bool WorkerPool::submit(CallRequest request, Done done, const std::function<void()>& queued) {
    Slot* idle = nullptr;
    {
        std::lock_guard lock(m_mutex);
        bool waiting = false;
        for (Slot& slot : m_slots) {
            waiting = waiting || slot.state == State::Waiting;
            if (!idle && slot.state == State::Idle)
                idle = &slot;
        }
        // A waiting engine takes the request from the queue; a second one arriving before it
        // has goes to a sleeping engine as usual.
        const bool waiterTakesIt = waiting && m_queue.empty();
        if (waiterTakesIt)
            idle = nullptr;
        if (m_slots.empty() ||
            (!idle && !waiterTakesIt && qsizetype(m_queue.size()) >= m_queueLimit))
            return false;
        queued();
        m_queue.push_back({std::move(request), std::move(done)});
        m_queued.store(qsizetype(m_queue.size()), std::memory_order_release);
        if (idle)
            idle->state = State::Busy;
    }
    if (idle)
        idle->worker->post([this, idle](ScriptEngine& engine) { drain(*idle, engine); });
    return true;
}

void WorkerPool::drain(Slot& slot, ScriptEngine& engine) {
    // Runs on the slot's engine thread: takes requests until the queue is empty.
    std::optional<Job> job;
    {
        std::lock_guard lock(m_mutex);
        job = takeNext(slot);
    }
    while (job) {
        const CallOutcome outcome = runCall(engine, job->request, m_timeout);
        Done done = std::move(job->done);
        {
            std::lock_guard lock(m_mutex);
            ++m_served;
            if (!outcome.ok)
                ++m_errors;
            // Free before the answer goes out: a client's next request, sent the moment
            // it has this answer, finds the engine free.
            job = takeNext(slot);
        }
        done(outcome);
        if (!job)
            job = awaitNext(slot);
    }
}

std::optional<WorkerPool::Job> WorkerPool::awaitNext(Slot& slot) {
    {
        std::lock_guard lock(m_mutex);
        slot.state = State::Waiting;
    }
    // Long enough for a client's next request on a keep-alive connection, short enough to
    // cost nothing worth counting when none comes.
    waitBriefly([this] { return m_queued.load(std::memory_order_acquire) > 0; },
                std::chrono::microseconds(100));
    std::lock_guard lock(m_mutex);
    slot.state = State::Busy;
    return takeNext(slot);
}

std::optional<WorkerPool::Job> WorkerPool::takeNext(Slot& slot) {
    if (m_queue.empty()) {
        slot.state = State::Idle;
        m_idle.notify_all();
        return std::nullopt;
    }
    Job job = std::move(m_queue.front());
    m_queue.pop_front();
    m_queued.store(qsizetype(m_queue.size()), std::memory_order_release);
    slot.state = State::Busy;
    return job;
}

PoolHealth WorkerPool::health() const {
    std::lock_guard lock(m_mutex);
    PoolHealth h;
    h.workers = int(m_slots.size());
    for (const Slot& slot : m_slots)
        h.busy += slot.state == State::Busy ? 1 : 0;
    h.queued = int(m_queue.size());
    h.served = m_served;
    h.errors = m_errors;
    return h;
}

void WorkerPool::stop() {
    std::vector<Slot> engines;
    {
        std::unique_lock lock(m_mutex);
        m_idle.wait(lock, [this] {
            if (!m_queue.empty())
                return false;
            for (const Slot& slot : m_slots)
                if (slot.state != State::Idle)
                    return false;
            return true;
        });
        engines = std::move(m_slots);
        m_slots.clear();
    }
    engines.clear(); // each engine is released on its own thread
}
