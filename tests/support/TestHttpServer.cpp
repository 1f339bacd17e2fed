#include "TestHttpServer.h"

#include <QHostAddress>
#include <QPointer>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

TestResponse TestResponse::text(const QByteArray& body, const QByteArray& contentType) {
    TestResponse r;
    r.body = body;
    if (!contentType.isEmpty())
        r.headers << qMakePair(QByteArray("Content-Type"), contentType);
    return r;
}

TestResponse TestResponse::redirect(const QByteArray& location, int status) {
    TestResponse r;
    r.status = status;
    r.headers << qMakePair(QByteArray("Location"), location);
    return r;
}

class TestHttpWorker : public QObject {
public:
    explicit TestHttpWorker(TestHttpServer& owner) : m_owner(owner) {}

    quint16 listen() {
        if (m_owner.m_tls.localCertificate().isNull()) {
            m_server = new QTcpServer(this);
        } else {
            auto* secure = new QSslServer(this);
            secure->setSslConfiguration(m_owner.m_tls);
            m_server = secure;
        }
        m_server->listen(QHostAddress::LocalHost, 0);
        // Emitted for https only once the handshake is done.
        connect(m_server, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket* s = m_server->nextPendingConnection())
                serve(s);
        });
        return m_server->serverPort();
    }

private:
    void serve(QTcpSocket* socket) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            QByteArray& pending = m_pending[socket];
            pending += socket->readAll();
            const qsizetype end = pending.indexOf("\r\n\r\n");
            if (end < 0)
                return;
            const QList<QByteArray> lines = pending.left(end).split('\n');
            m_pending.remove(socket);
            const QList<QByteArray> words = lines.value(0).trimmed().split(' ');
            QByteArray agent;
            QList<QByteArray> headers;
            for (const QByteArray& l : lines.mid(1)) {
                headers << l.trimmed();
                if (l.toLower().startsWith("user-agent:"))
                    agent = l.mid(11).trimmed();
            }
            m_owner.noteRequest(words.value(0) + ' ' + words.value(1), agent, headers);
            answer(socket, m_owner.responseFor(words.value(1)));
        });
    }

    void answer(QTcpSocket* socket, const TestResponse& r) {
        QByteArray head = "HTTP/1.1 " + QByteArray::number(r.status) + " Test\r\n";
        for (const auto& h : r.headers)
            head += h.first + ": " + h.second + "\r\n";
        if (r.headerPadding > 0)
            head += "X-Padding: " + QByteArray(r.headerPadding, 'a') + "\r\n";
        if (r.chunkedFlood > 0) {
            head += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
            socket->write(head);
            flood(socket, r.chunkedFlood);
            return;
        }
        if (r.declaredLength != -2)
            head += "Content-Length: " +
                    QByteArray::number(r.declaredLength >= 0 ? r.declaredLength : r.body.size()) +
                    "\r\n";
        head += "Connection: close\r\n\r\n";
        socket->write(head);
        if (r.stallAfter >= 0) {
            socket->write(r.body.left(r.stallAfter));
            return; // silent until the client gives up
        }
        if (r.pieceBytes <= 0) {
            socket->write(r.body);
            socket->disconnectFromHost();
            return;
        }
        auto* timer = new QTimer(socket);
        auto offset = std::make_shared<qsizetype>(0);
        QPointer<QTcpSocket> guard(socket);
        connect(timer, &QTimer::timeout, socket, [guard, timer, offset, r] {
            if (!guard)
                return;
            guard->write(r.body.mid(*offset, r.pieceBytes));
            *offset += r.pieceBytes;
            if (*offset >= r.body.size()) {
                timer->stop();
                guard->disconnectFromHost();
            }
        });
        timer->start(r.pieceDelayMs);
    }

    // Writes chunks of 64 KiB whenever less than 1 MiB waits in the socket's buffer.
    void flood(QTcpSocket* socket, qint64 total) {
        constexpr qint64 kChunk = 64 * 1024;
        static const QByteArray chunk =
            QByteArray::number(kChunk, 16) + "\r\n" + QByteArray(kChunk, 'x') + "\r\n";
        auto left = std::make_shared<qint64>(total);
        auto done = std::make_shared<bool>(false);
        auto pump = [this, socket, left, done] {
            while (*left > 0 && socket->bytesToWrite() < 16 * kChunk) {
                socket->write(chunk);
                *left -= kChunk;
                m_owner.m_floodSent += kChunk;
            }
            if (*left <= 0 && !*done && socket->bytesToWrite() == 0) {
                *done = true;
                socket->write("0\r\n\r\n");
                socket->disconnectFromHost();
            }
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, pump);
        pump();
    }

    TestHttpServer& m_owner;
    QTcpServer* m_server = nullptr;
    QMap<QTcpSocket*, QByteArray> m_pending;
};

TestHttpServer::TestHttpServer(const QSslConfiguration& tls)
    : m_tls(tls), m_thread(std::make_unique<QThread>()) {
    m_worker = new TestHttpWorker(*this);
    m_worker->moveToThread(m_thread.get());
    QObject::connect(m_thread.get(), &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread->start();
    QMetaObject::invokeMethod(
        m_worker, [this] { return m_worker->listen(); }, Qt::BlockingQueuedConnection, &m_port);
}

TestHttpServer::~TestHttpServer() {
    m_thread->quit();
    m_thread->wait();
}

void TestHttpServer::route(const QByteArray& path, const TestResponse& response) {
    std::lock_guard lock(m_mutex);
    m_routes[path] = response;
}

QString TestHttpServer::url(const QByteArray& path) const {
    const QString scheme =
        m_tls.localCertificate().isNull() ? QStringLiteral("http") : QStringLiteral("https");
    return QStringLiteral("%1://127.0.0.1:%2%3")
        .arg(scheme)
        .arg(m_port)
        .arg(QString::fromLatin1(path));
}

QList<QByteArray> TestHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

QByteArray TestHttpServer::lastUserAgent() const {
    std::lock_guard lock(m_mutex);
    return m_lastAgent;
}

TestResponse TestHttpServer::responseFor(const QByteArray& path) {
    std::lock_guard lock(m_mutex);
    const auto it = m_routes.constFind(path);
    if (it != m_routes.constEnd())
        return *it;
    TestResponse missing = TestResponse::text("not found");
    missing.status = 404;
    return missing;
}

QList<QByteArray> TestHttpServer::lastHeaders() const {
    std::lock_guard lock(m_mutex);
    return m_lastHeaders;
}

void TestHttpServer::noteRequest(const QByteArray& line, const QByteArray& agent,
                                 const QList<QByteArray>& headers) {
    std::lock_guard lock(m_mutex);
    m_requests << line;
    m_lastAgent = agent;
    m_lastHeaders = headers;
}
