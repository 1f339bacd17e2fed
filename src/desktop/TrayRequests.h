#pragma once
// The "eMenu" request: another program asks the workbench to put its tray icon back (a
// tray host that restarted without telling anyone, say). It connects to the local socket
// of that name and writes anything; every such connection is one request. When a live workbench
// already holds the name, a second one leaves it alone and goes without.

#include <QObject>

#include <functional>

class QLocalServer;

class TrayRequests : public QObject {
    Q_OBJECT
public:
    static constexpr const char* kName = "eMenu";

    TrayRequests(const QString& name, std::function<void()> onRequest, QObject* parent = nullptr);
    ~TrayRequests() override;

    bool isListening() const;

private:
    void onConnection();

    QLocalServer* m_server;
    std::function<void()> m_onRequest;
};
