#include "serve/ServiceWorker.h"

#include "engine/ScriptThread.h"
#include "engine/StopWatch.h"
#include "script/ScriptEngine.h"

ServiceWorker::ServiceWorker() {
    // The library's main thread is the script thread; it must exist before any engine.
    (void)ScriptThread::instance();
    m_thread.setObjectName(QStringLiteral("service"));
    m_thread.setStackSize(16 * 1024 * 1024); // as the script thread: deep recursion, the JIT
    m_context = new QObject;
    m_context->moveToThread(&m_thread);
    QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
    m_thread.start();
}

ServiceWorker::~ServiceWorker() {
    QMetaObject::invokeMethod(
        m_context, [this] { m_engine.reset(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

ScriptError ServiceWorker::load(const QStringList& sources, double timeoutSeconds) {
    ScriptError error;
    QMetaObject::invokeMethod(
        m_context,
        [&] {
            StopWatch::setThreadStopFlag(&m_stop);
            m_engine = std::make_unique<ScriptEngine>();
            StopWatch* watch = StopWatch::of(JSContextGetGroup(m_engine->context()));
            for (const QString& source : sources) {
                watch->setDeadline(timeoutSeconds);
                m_engine->addCode(source);
                if (watch->outcome() == StopWatch::Outcome::TimedOut) {
                    error.number = ScriptError::Stopped;
                    error.description =
                        QStringLiteral("加载代码超过时限（%1 秒），已被中止").arg(timeoutSeconds);
                    return;
                }
                if (m_engine->error().number != ScriptError::None) {
                    error = m_engine->error();
                    return;
                }
            }
        },
        Qt::BlockingQueuedConnection);
    return error;
}

void ServiceWorker::post(std::function<void(ScriptEngine&)> work) {
    QMetaObject::invokeMethod(
        m_context, [this, work = std::move(work)] { work(*m_engine); }, Qt::QueuedConnection);
}

void ServiceWorker::call(const std::function<void(ScriptEngine&)>& work) {
    QMetaObject::invokeMethod(
        m_context, [&] { work(*m_engine); }, Qt::BlockingQueuedConnection);
}
