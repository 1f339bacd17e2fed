#include "serve/CallService.h"

#include <QHostAddress>
#include <QThread>

CallService::CallService(RequestLog log) : m_log(std::move(log)) {}

CallService::~CallService() {
    stop();
}

int CallService::defaultWorkers() {
    return qMax(1, QThread::idealThreadCount());
}

QString loadErrorText(const ScriptError& error) {
    QString text =
        QStringLiteral("代码加载失败：错误号=%1，%2").arg(error.number).arg(error.description);
    if (error.line > 0)
        text += QStringLiteral("（第 %1 行，第 %2 列）").arg(error.line).arg(error.column);
    return text;
}

bool CallService::start(const ServiceOptions& options, QString* error) {
    if (m_http)
        stop();
    if (!HttpService::isLoopback(options.http.host) && options.http.token.isEmpty()) {
        *error = QStringLiteral("监听 %1 须设定令牌：本机以外的地址上，每个请求都要带上它")
                     .arg(options.http.host);
        return false;
    }
    const int workers = options.workers > 0 ? options.workers : defaultWorkers();
    const ScriptError loadError =
        m_pool.start(workers, options.sources, options.timeoutSeconds, options.queueLimit);
    if (loadError.number != ScriptError::None) {
        *error = loadErrorText(loadError);
        m_pool.stop();
        return false;
    }
    auto http = std::make_unique<HttpService>(m_pool, m_log);
    if (!http->start(options.http, error)) {
        m_pool.stop();
        return false;
    }
    m_http = std::move(http);
    m_host = options.http.host;
    return true;
}

void CallService::stop() {
    if (!m_http)
        return;
    m_http->stop(); // first: every answer in flight goes out
    m_http.reset();
    m_pool.stop();
}

quint16 CallService::port() const {
    return m_http ? m_http->port() : 0;
}

QString CallService::address() const {
    const bool v6 = QHostAddress(m_host).protocol() == QAbstractSocket::IPv6Protocol;
    const QString host = v6 ? QLatin1Char('[') + m_host + QLatin1Char(']') : m_host;
    return QStringLiteral("http://%1:%2/").arg(host).arg(port());
}
