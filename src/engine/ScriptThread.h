#pragma once
// The one thread on which every engine instance is created, used and released.
// Callers hand it work and wait through the installed ScriptWaiter: the window waits in
// a local event loop with a "停止" box, the command line blocks with an optional limit.

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

// A piece of work handed to the script thread; tells the waiting side when it is done.
class ScriptJob : public QObject {
    Q_OBJECT
public:
    bool isDone() const;
    // Blocks the calling thread; false when the timeout (ms, < 0: none) ran out first.
    bool waitDone(int timeoutMs) const;

signals:
    void finished();

private:
    friend class ScriptThread;
    void markDone();

    mutable std::mutex m_mutex;
    mutable std::condition_variable m_cv;
    bool m_done = false;
};

class ScriptWaiter {
public:
    virtual ~ScriptWaiter() = default;
    // Returns once job.isDone(); may ask the thread to stop the script meanwhile.
    virtual void wait(ScriptJob& job) = 0;
};

// Blocks until the job is done; after limitSeconds (0: never) asks the script to stop.
class BlockingWaiter : public ScriptWaiter {
public:
    explicit BlockingWaiter(double limitSeconds = 0.0) : m_limitSeconds(limitSeconds) {}
    void wait(ScriptJob& job) override;
    // True once the limit ran out and the waiter asked the job to stop, so a caller can
    // tell a time-out from a stop the user asked for.
    bool timedOut() const { return m_timedOut; }

private:
    double m_limitSeconds;
    bool m_timedOut = false;
};

class ScriptThread {
public:
    static ScriptThread& instance();

    bool isCurrent() const;
    // Runs job on the script thread and returns when it has finished; runs it inline when
    // called from the script thread itself (a nested call).
    void call(const std::function<void()>& job);
    // Runs job on the script thread without waiting (releases from other threads).
    void post(std::function<void()> job);

    // "停止": the engine's periodic check ends the running script.
    void requestStop() { m_stop.store(true); }
    bool stopRequested() const { return m_stop.load(); }
    // The flag itself, for the stop watches of the engines on this thread.
    const std::atomic<bool>& stopFlag() const { return m_stop; }

    // Not owned; nullptr restores the plain blocking waiter.
    void setWaiter(ScriptWaiter* waiter) { m_waiter = waiter; }

    // Ends the thread after the work already queued; later calls run inline.
    void shutdown();
    bool isRunning() const;

private:
    ScriptThread();
    ~ScriptThread();
    ScriptThread(const ScriptThread&) = delete;
    ScriptThread& operator=(const ScriptThread&) = delete;

    QThread m_thread;
    QObject* m_context = nullptr; // lives on m_thread; target of queued work
    std::atomic<bool> m_stop{false};
    ScriptWaiter* m_waiter = nullptr;
    BlockingWaiter m_blocking;
    mutable std::mutex m_mutex;
    bool m_running = false;
};
