#include "engine/ScriptThread.h"

#include "engine/JscPrivate.h"

#include <QCoreApplication>

#include <chrono>

bool ScriptJob::isDone() const {
    std::lock_guard lock(m_mutex);
    return m_done;
}

bool ScriptJob::waitDone(int timeoutMs) const {
    std::unique_lock lock(m_mutex);
    if (timeoutMs < 0) {
        m_cv.wait(lock, [this] { return m_done; });
        return true;
    }
    return m_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_done; });
}

void ScriptJob::markDone() {
    {
        std::lock_guard lock(m_mutex);
        m_done = true;
    }
    m_cv.notify_all();
    emit finished();
}

void BlockingWaiter::wait(ScriptJob& job) {
    if (m_limitSeconds <= 0.0) {
        job.waitDone(-1);
        return;
    }
    if (job.waitDone(int(m_limitSeconds * 1000.0)))
        return;
    m_timedOut = true;
    // Asked again until the job ends: a stop that lands before the job has entered the
    // engine, or that another caller clears, must not leave the wait without end.
    do
        ScriptThread::instance().requestStop();
    while (!job.waitDone(100));
}

ScriptThread& ScriptThread::instance() {
    static ScriptThread thread;
    return thread;
}

ScriptThread::ScriptThread() {
    m_thread.setObjectName(QStringLiteral("script"));
    // JavaScriptCore wants a deep stack for recursive scripts and the JIT.
    m_thread.setStackSize(16 * 1024 * 1024);
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
    m_running = true;
    // The engine's timers (garbage collection, sweeping) are sources on this thread's
    // event loop. A full collection started by a timer asks for the library's memory
    // pressure handler, which is built on the main run loop; that loop exists only once
    // the library's main thread is initialized, which the plain C API never does. Without
    // it the first such timer dereferences a null run loop. This thread owns every
    // engine, so it is the main thread as far as the library is concerned, and its
    // timers run here between jobs, where no script is running.
    call([] { WTF::initializeMainThread(); });
}

ScriptThread::~ScriptThread() {
    shutdown();
}

bool ScriptThread::isCurrent() const {
    return QThread::currentThread() == &m_thread || !isRunning();
}

bool ScriptThread::isRunning() const {
    std::lock_guard lock(m_mutex);
    return m_running;
}

void ScriptThread::call(const std::function<void()>& job) {
    if (isCurrent()) {
        job();
        return;
    }
    m_stop.store(false);
    auto state = std::make_shared<ScriptJob>();
    QMetaObject::invokeMethod(
        m_context,
        [job, state] {
            job();
            state->markDone();
        },
        Qt::QueuedConnection);
    (m_waiter ? *m_waiter : static_cast<ScriptWaiter&>(m_blocking)).wait(*state);
    m_stop.store(false);
}

void ScriptThread::post(std::function<void()> job) {
    if (isCurrent()) {
        job();
        return;
    }
    QMetaObject::invokeMethod(m_context, std::move(job), Qt::QueuedConnection);
}

void ScriptThread::shutdown() {
    {
        std::lock_guard lock(m_mutex);
        if (!m_running)
            return;
    }
    // Work posted earlier (releases of objects) runs before the thread ends.
    auto drained = std::make_shared<ScriptJob>();
    QMetaObject::invokeMethod(
        m_context, [drained] { drained->markDone(); }, Qt::QueuedConnection);
    drained->waitDone(-1);
    m_thread.quit();
    m_thread.wait();
    std::lock_guard lock(m_mutex);
    m_running = false;
}
