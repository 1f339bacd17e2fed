#pragma once
// The HTTP side of the call service, on libmicrohttpd with a thread per connection: the
// thread reads a request, hands a call to the worker pool and waits for its engine's
// answer, so requests on one connection (pipelined too) are answered in their order and
// answers never cross connections.
//
//   POST /call {"function": "sign", "args": [...]}   POST /eval {"expression": "..."}
//   GET /functions                                   GET /health

#include <QByteArray>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

struct MHD_Connection;
struct MHD_Daemon;
class WorkerPool;

struct HttpSettings {
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 0; // 0: any free port
    QString token;    // required off loopback
    qsizetype bodyLimit = 16 * 1024 * 1024;
};

// One line of the request log: method, path, status and the milliseconds it took.
using RequestLog = std::function<void(const QString& method, const QString& path, int status,
                                      double milliseconds)>;

class HttpService {
public:
    HttpService(WorkerPool& pool, RequestLog log);
    ~HttpService();
    HttpService(const HttpService&) = delete;
    HttpService& operator=(const HttpService&) = delete;

    // Listens; false with the reason (an address in use, a token missing off loopback).
    bool start(const HttpSettings& settings, QString* error);
    quint16 port() const { return m_port; }
    // Accepts no more connections, answers what is in flight, then closes everything.
    void stop();

    // The address is the machine's own (127.0.0.0/8, ::1, "localhost").
    static bool isLoopback(const QString& host);

private:
    struct Exchange;
    friend struct HttpCallbacks;
    void completed(Exchange* exchange);
    int handle(MHD_Connection* connection, Exchange& exchange, const char* data, size_t* size);
    int answer(MHD_Connection* connection, Exchange& exchange, int status, const QByteArray& body);
    bool authorized(MHD_Connection* connection) const;
    // The status and reason of a request refused for its headers alone.
    std::optional<std::pair<int, QString>> refuseEarly(MHD_Connection* connection,
                                                       const Exchange& exchange) const;
    QString tooLargeText() const;
    int dispatch(MHD_Connection* connection, Exchange& exchange);

    WorkerPool& m_pool;
    RequestLog m_log;
    HttpSettings m_settings;
    MHD_Daemon* m_daemon = nullptr;
    int m_listenSocket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stopping{false};
    // Calls handed to the pool whose answers have not been sent yet.
    std::mutex m_mutex;
    std::condition_variable m_settled;
    int m_inFlight = 0;
};
