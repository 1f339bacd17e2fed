#include "editor/HttpFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace {
// The "charset" parameter of a Content-Type value, lower case, without quotes.
QByteArray charsetOf(const QByteArray& contentType) {
    for (const QByteArray& part : contentType.split(';')) {
        const QByteArray p = part.trimmed();
        if (!p.toLower().startsWith("charset="))
            continue;
        QByteArray value = p.mid(8).trimmed();
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\''))
            value = value.mid(1, value.size() - 2);
        return value.trimmed().toLower();
    }
    return {};
}

// Reasons a connection fails, in the interface's language; the rest keep Qt's wording.
QString networkReason(QNetworkReply* reply) {
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::RemoteHostClosedError:
        return QStringLiteral("服务器中途断开了连接");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到服务器");
    case QNetworkReply::TimeoutError:
        return QStringLiteral("连接超时");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("SSL 握手失败");
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::TemporaryNetworkFailureError:
        return QStringLiteral("网络不可用");
    default:
        break;
    }
    // Some of Qt's texts end in a colon with nothing after it ("Decompression failed: ").
    QString reason = reply->errorString().trimmed();
    while (reason.endsWith(u':'))
        reason.chop(1);
    return reason.isEmpty() ? QStringLiteral("网络错误（代码 %1）").arg(int(reply->error()))
                            : reason;
}

QString durationText(int ms) {
    if (ms >= 60000 && ms % 60000 == 0)
        return QStringLiteral("%1 分钟").arg(ms / 60000);
    return QStringLiteral("%1 秒").arg(ms / 1000.0);
}

// Scheme, host and port: what decides where credentials may go.
QUrl originOf(const QUrl& url) {
    QUrl origin;
    origin.setScheme(url.scheme().toLower());
    origin.setHost(url.host().toLower());
    origin.setPort(url.port(url.scheme().toLower() == QLatin1String("https") ? 443 : 80));
    return origin;
}

QString overCap(qint64 cap) {
    constexpr qint64 kMiB = 1024 * 1024;
    return cap % kMiB == 0 ? QStringLiteral("内容超过 %1 MiB 上限").arg(cap / kMiB)
                           : QStringLiteral("内容超过 %1 字节上限").arg(cap);
}

bool isSuccess(int status) {
    return status >= 200 && status < 300;
}
} // namespace

HttpFetch::HttpFetch(QObject* parent)
    : QObject(parent), m_network(new QNetworkAccessManager(this)) {
    m_stallTimer.setSingleShot(true);
    connect(&m_stallTimer, &QTimer::timeout, this, &HttpFetch::onStalled);
    m_overallTimer.setSingleShot(true);
    connect(&m_overallTimer, &QTimer::timeout, this, &HttpFetch::onOverallTimeout);
}

HttpFetch::~HttpFetch() {
    dropReply();
}

std::optional<QUrl> HttpFetch::readableUrl(const QString& address) {
    const QUrl url(address, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() ||
        (scheme != QLatin1String("http") && scheme != QLatin1String("https")))
        return std::nullopt;
    return url;
}

void HttpFetch::start(const QString& address) {
    if (m_running)
        stop();
    m_result = FetchResult();
    m_redirects = 0;
    m_running = true;
    const quint64 run = ++m_run;
    const auto url = readableUrl(address);
    if (!url) {
        // Reported from the event loop like every other ending, unless a newer read
        // has begun meanwhile.
        QMetaObject::invokeMethod(
            this,
            [this, run] {
                if (run == m_run)
                    fail(QStringLiteral("只能读取 http 或 https 地址"));
            },
            Qt::QueuedConnection);
        return;
    }
    m_authorization.clear();
    if (!url->userInfo().isEmpty()) {
        const QString credentials =
            url->userName(QUrl::FullyDecoded) + u':' + url->password(QUrl::FullyDecoded);
        m_authorization = "Basic " + credentials.toUtf8().toBase64();
        m_authorizedOrigin = originOf(*url);
    }
    m_overallTimer.start(m_overallTimeoutMs);
    request(*url);
}

void HttpFetch::request(const QUrl& url) {
    dropReply();
    // Credentials never travel inside the address: Qt would offer them to any host.
    QUrl bare = url;
    bare.setUserInfo({});
    m_result.finalUrl = bare;
    m_result.body.clear();
    m_haveHeaders = false;
    m_discardBody = false;
    m_discarded = 0;
    QNetworkRequest req(bare);
    req.setHeader(QNetworkRequest::UserAgentHeader, QByteArray(kUserAgent));
    if (!m_authorization.isEmpty() && originOf(bare) == m_authorizedOrigin)
        req.setRawHeader("Authorization", m_authorization);
    // Qt's own ratio check refuses well-compressed bodies with an empty reason; the cap
    // on the decompressed body decides instead.
    req.setDecompressedSafetyCheckThreshold(-1);
    // Redirects are followed here, so that every hop is counted and checked.
    req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                     QNetworkRequest::ManualRedirectPolicy);
    req.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    m_reply = m_network->get(req);
    m_reply->setReadBufferSize(kReadBufferBytes);
    connect(m_reply, &QNetworkReply::metaDataChanged, this, &HttpFetch::onMetaData);
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpFetch::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpFetch::onReplyFinished);
    m_stallTimer.start(m_stallTimeoutMs);
}

void HttpFetch::onMetaData() {
    if (!m_reply)
        return;
    m_stallTimer.start(m_stallTimeoutMs);
    const QVariant statusAttr = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (!statusAttr.isValid())
        return;
    const int status = statusAttr.toInt();
    m_result.status = status;
    m_haveHeaders = true;
    m_result.charset = charsetOf(m_reply->rawHeader("Content-Type"));

    const QByteArray location = m_reply->rawHeader("Location");
    if (status >= 300 && status < 400 && !location.isEmpty()) {
        if (++m_redirects > kMaxRedirects) {
            fail(QStringLiteral("重定向超过 %1 次").arg(kMaxRedirects));
            return;
        }
        const QUrl next = m_reply->url().resolved(QUrl::fromEncoded(location));
        const auto readable = readableUrl(next.toString());
        if (!readable) {
            fail(QStringLiteral("重定向到了不能读取的地址：%1").arg(next.toString()));
            return;
        }
        request(*readable);
        return;
    }
    if (!isSuccess(status)) {
        // An error page is drained, not kept; its end reports the status. (Aborting here
        // would race Qt's own queued report of the same error.)
        m_discardBody = true;
        return;
    }
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    if (length.isValid() && length.toLongLong() > m_maxBytes)
        fail(overCap(m_maxBytes));
    else if (length.isValid())
        m_result.body.reserve(length.toLongLong());
}

void HttpFetch::onReadyRead() {
    if (!m_reply)
        return;
    m_stallTimer.start(m_stallTimeoutMs);
    if (m_reply->bytesAvailable() <= 0)
        return;
    if (m_discardBody) {
        m_discarded += m_reply->readAll().size();
        if (m_discarded > m_maxBytes)
            fail(QStringLiteral("HTTP %1").arg(m_result.status));
        return;
    }
    if (m_result.body.size() + m_reply->bytesAvailable() > m_maxBytes) {
        fail(overCap(m_maxBytes));
        return;
    }
    m_result.body += m_reply->readAll();
    const QVariant length = m_reply->header(QNetworkRequest::ContentLengthHeader);
    emit progress(m_result.body.size(), length.isValid() ? length.toLongLong() : -1);
}

void HttpFetch::onReplyFinished() {
    if (!m_reply)
        return;
    const QVariant statusAttr = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (statusAttr.isValid())
        m_result.status = statusAttr.toInt();
    if (statusAttr.isValid() && !isSuccess(m_result.status)) {
        fail(QStringLiteral("HTTP %1").arg(m_result.status));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(networkReason(m_reply));
        return;
    }
    onReadyRead(); // whatever arrived with the end
    if (m_running)
        succeed();
}

void HttpFetch::onStalled() {
    // Qt tells nothing while the headers come in, however many bytes they bring.
    if (!m_haveHeaders) {
        fail(QStringLiteral("读取超时：%1内没有收到完整的响应头")
                 .arg(durationText(m_stallTimeoutMs)));
        return;
    }
    fail(QStringLiteral("读取超时：%1没有收到数据").arg(durationText(m_stallTimeoutMs)));
}

void HttpFetch::onOverallTimeout() {
    fail(QStringLiteral("读取超时：%1内没有读完").arg(durationText(m_overallTimeoutMs)));
}

void HttpFetch::stop() {
    if (m_running)
        fail(QStringLiteral("已停止"));
}

void HttpFetch::fail(const QString& reason) {
    if (!m_running)
        return;
    m_result.ok = false;
    m_result.error = reason.isEmpty() ? QStringLiteral("读取失败") : reason;
    m_result.body.clear();
    end();
}

void HttpFetch::succeed() {
    m_result.ok = true;
    m_result.error.clear();
    end();
}

void HttpFetch::dropReply() {
    if (!m_reply)
        return;
    QNetworkReply* reply = m_reply;
    m_reply = nullptr;
    reply->disconnect(this);
    reply->abort();
    reply->deleteLater();
}

void HttpFetch::end() {
    m_stallTimer.stop();
    m_overallTimer.stop();
    dropReply();
    m_running = false;
    emit finished();
}

FetchResult HttpFetch::run(const QString& address) {
    QEventLoop loop;
    connect(this, &HttpFetch::finished, &loop, &QEventLoop::quit);
    start(address);
    if (m_running)
        loop.exec();
    return m_result;
}

FetchResult HttpFetch::fetch(const QString& address) {
    HttpFetch reader;
    return reader.run(address);
}
