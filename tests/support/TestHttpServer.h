#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for tests: each path answers with a fixed status
// and body. It runs on the thread that created it, so the code under test must wait in
// an event loop (as the workbench's fetches do).

#include <QByteArray>
#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>

class TestHttpServer : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
    };

    TestHttpServer() {
        m_server.listen(QHostAddress::LocalHost, 0);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection())
                serve(socket);
        });
    }

    void route(const QByteArray& path, int status, const QByteArray& body) {
        m_routes.insert(path, {status, body});
    }
    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    int requests() const { return m_requests; }

    // A port on which nothing listens.
    static quint16 closedPort() {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        const quint16 port = probe.serverPort();
        probe.close();
        return port;
    }

private:
    void serve(QTcpSocket* socket) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_pending[socket] += socket->readAll();
            const QByteArray& request = m_pending[socket];
            if (!request.contains("\r\n\r\n"))
                return;
            ++m_requests;
            const QByteArray path = request.split(' ').value(1);
            const Reply reply = m_routes.value(path, {404, "not found"});
            socket->write("HTTP/1.0 " + QByteArray::number(reply.status) +
                          (reply.status == 200 ? " OK" : " Error") +
                          "\r\nContent-Type: text/plain\r\nContent-Length: " +
                          QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
                          reply.body);
            socket->disconnectFromHost();
            m_pending.remove(socket);
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QTcpServer m_server;
    QHash<QByteArray, Reply> m_routes;
    QHash<QTcpSocket*, QByteArray> m_pending;
    int m_requests = 0;
};
