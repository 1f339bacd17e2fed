#pragma once
// The call service as one piece: the loaded script in N engines behind the HTTP side.
// The command line ("vexojs-cli serve") and the window ("调用服务…") both run this.

#include "script/ScriptError.h"
#include "serve/HttpService.h"
#include "serve/WorkerPool.h"

#include <QStringList>

#include <memory>

struct ServiceOptions {
    QStringList sources; // the texts loaded into every engine, in order
    HttpSettings http;
    int workers = 0; // 0: one per core
    double timeoutSeconds = 10.0;
    qsizetype queueLimit = 1024;
};

class CallService {
public:
    explicit CallService(RequestLog log = {});
    ~CallService();
    CallService(const CallService&) = delete;
    CallService& operator=(const CallService&) = delete;

    // Loads the engines and listens; false with the reason (the load's error message
    // included). Blocks while the engines load.
    bool start(const ServiceOptions& options, QString* error);
    // Answers what is in flight, then closes; does nothing when not running.
    void stop();
    bool isRunning() const { return m_http != nullptr; }

    // "http://127.0.0.1:8731/"
    QString address() const;
    quint16 port() const;
    PoolHealth health() const { return m_pool.health(); }
    static int defaultWorkers();

private:
    RequestLog m_log;
    WorkerPool m_pool;
    std::unique_ptr<HttpService> m_http;
    QString m_host;
};

// The engine error of a failed load, in the words of the output pane.
QString loadErrorText(const ScriptError& error);
