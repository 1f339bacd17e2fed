#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests. It runs on a thread of its own, so it
// answers whether the test waits in an event loop, in a modal box or on another process.
// Each path has a canned answer; unknown paths get 404.

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QPair>
#include <QSslConfiguration>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>

class QThread;
class TestHttpWorker;

struct TestResponse {
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    // Content-Length to announce; -1 announces the real length, -2 none (the body then
    // ends when the connection closes).
    qint64 declaredLength = -1;
    // Sends this many bytes of the body, then keeps the connection open and silent.
    int stallAfter = -1;
    // Sends the body in pieces of this size with a pause between them (0: all at once).
    int pieceBytes = 0;
    int pieceDelayMs = 0;
    // Adds one header line "X-Padding: aaa…" of this many bytes before the body.
    qint64 headerPadding = 0;
    // Instead of the body: this many bytes of 'x' in chunks, written only as fast as the
    // client takes them, so the server itself holds little.
    qint64 chunkedFlood = 0;

    static TestResponse text(const QByteArray& body, const QByteArray& contentType = {});
    static TestResponse redirect(const QByteArray& location, int status = 302);
};

class TestHttpServer {
public:
    // With a configuration that holds a certificate the server speaks https.
    explicit TestHttpServer(const QSslConfiguration& tls = {});
    ~TestHttpServer();

    void route(const QByteArray& path, const TestResponse& response);
    QString url(const QByteArray& path) const;
    quint16 port() const { return m_port; }
    // The request lines seen so far ("GET /path"), the last User-Agent, and every header
    // line of the last request.
    QList<QByteArray> requests() const;
    QByteArray lastUserAgent() const;
    QList<QByteArray> lastHeaders() const;
    // Body bytes of chunked floods written so far.
    qint64 floodBytesSent() const { return m_floodSent.load(); }

private:
    friend class TestHttpWorker;
    TestResponse responseFor(const QByteArray& path);
    void noteRequest(const QByteArray& line, const QByteArray& agent,
                     const QList<QByteArray>& headers);

    mutable std::mutex m_mutex;
    QMap<QByteArray, TestResponse> m_routes;
    QList<QByteArray> m_requests;
    QByteArray m_lastAgent;
    QList<QByteArray> m_lastHeaders;
    std::atomic<qint64> m_floodSent{0};
    QSslConfiguration m_tls;
    std::unique_ptr<QThread> m_thread;
    TestHttpWorker* m_worker = nullptr;
    quint16 m_port = 0;
};
