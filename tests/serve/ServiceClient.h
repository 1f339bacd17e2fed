#pragma once
// The call service as its users meet it: a real `vexojs-cli serve` on a free port, and
// Qt's HTTP client against it.

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

// The service on port 0; its address is the first line it prints.
class ServiceProcess {
public:
    explicit ServiceProcess(const QString& script, QStringList args = {}) {
        m_dir.setAutoRemove(true);
        const QString path = m_dir.filePath(QStringLiteral("service.js"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(script.toUtf8());
        file.close();
        m_process.start(QStringLiteral(VEXO_BUILD_DIR "/vexojs-cli"),
                        QStringList{"serve", "--load", path, "--port", "0"} + args);
        EXPECT_TRUE(m_process.waitForStarted());
        while (!m_process.canReadLine() && m_process.state() == QProcess::Running)
            m_process.waitForReadyRead(1000);
        m_address = QString::fromUtf8(m_process.readLine()).trimmed();
    }
    ~ServiceProcess() {
        if (m_process.state() == QProcess::Running) {
            m_process.terminate();
            if (!m_process.waitForFinished(30000))
                m_process.kill();
        }
    }
    QUrl url(const QString& path) const { return QUrl(m_address + path.mid(1)); }
    QString address() const { return m_address; }
    QProcess& process() { return m_process; }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_address;
};

struct HttpAnswer {
    int status = 0;
    QByteArray body;
    QJsonObject json() const { return QJsonDocument::fromJson(body).object(); }
};

// Starts a request; the reply belongs to the manager.
inline QNetworkReply* send(QNetworkAccessManager& manager, const QUrl& url,
                           const QByteArray& method, const QByteArray& body = {},
                           const QByteArray& token = {}) {
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    if (!token.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + token);
    return manager.sendCustomRequest(request, method, body);
}

inline HttpAnswer answerOf(QNetworkReply* reply) {
    if (!reply->isFinished()) {
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    HttpAnswer a{reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(),
                 reply->readAll()};
    reply->deleteLater();
    return a;
}

inline HttpAnswer request(QNetworkAccessManager& manager, const QUrl& url, const QByteArray& method,
                          const QByteArray& body = {}, const QByteArray& token = {}) {
    return answerOf(send(manager, url, method, body, token));
}

struct CliOutputLike {
    int status = -1;
    QByteArray out;
};

// `vexojs-cli snippet LANGUAGE --url ADDRESS EXPRESSION`
inline CliOutputLike runSnippetCli(const QString& language, const QString& address,
                                   const QString& expression) {
    QProcess p;
    p.start(QStringLiteral(VEXO_BUILD_DIR "/vexojs-cli"),
            {"snippet", language, "--url", address, "--", expression});
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), p.readAllStandardOutput()};
}
