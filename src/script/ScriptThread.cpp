#include "script/ScriptThread.h"

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
    if (!job.waitDone(int(m_limitSeconds * 1000.0)))
        ScriptThread::instance().requestStop();
    job.waitDone(-1);
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
