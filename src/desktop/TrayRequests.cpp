#include "desktop/TrayRequests.h"

#include <QLocalServer>
#include <QLocalSocket>

namespace {
// Whether a live program answers on the name (a socket file left by a crash does not).
bool answered(const QString& name) {
    QLocalSocket probe;
    probe.connectToServer(name);
    const bool live = probe.waitForConnected(200);
    probe.abort();
    return live;
}
} // namespace

TrayRequests::TrayRequests(const QString& name, std::function<void()> onRequest, QObject* parent)
    : QObject(parent), m_server(new QLocalServer(this)), m_onRequest(std::move(onRequest)) {
    connect(m_server, &QLocalServer::newConnection, this, &TrayRequests::onConnection);
    // A live program on the name keeps it (listening would put a new socket in the old
    // one's place); a socket file a crash left behind is replaced.
    if (answered(name))
        return;
    // Only this user may ask.
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(name) && m_server->serverError() == QAbstractSocket::AddressInUseError) {
        QLocalServer::removeServer(name);
        m_server->listen(name);
    }
}

TrayRequests::~TrayRequests() = default;

bool TrayRequests::isListening() const {
    return m_server->isListening();
}

void TrayRequests::onConnection() {
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A request says something (its words do not matter); a connection that only
        // looks whether the name is taken says nothing.
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            socket->readAll();
            socket->disconnectFromServer();
            if (m_onRequest)
                m_onRequest();
        });
    }
}
