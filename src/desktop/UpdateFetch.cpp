#include "desktop/UpdateFetch.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {
const char kUpdateAddress[] = "https://update.vexojs.org/version.txt";
constexpr int kStallTimeoutMs = 30000;
constexpr qint64 kMaxBody = 64 * 1024 * 1024;
} // namespace

QString updateAddress() {
    const QString fromEnvironment = qEnvironmentVariable("VEXOJS_UPDATE_URL");
    return fromEnvironment.isEmpty() ? QString::fromLatin1(kUpdateAddress) : fromEnvironment;
}

FetchOutcome fetchUpdateRecord(const QString& address) {
    FetchOutcome outcome;
    const QUrl url(address);
    if (!url.isValid() || url.scheme().isEmpty()) {
        outcome.error = QStringLiteral("地址无效：%1").arg(address);
        return outcome;
    }
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setTransferTimeout(kStallTimeoutMs);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    QNetworkReply* reply = network.get(request);
    QEventLoop loop;
    bool tooLarge = false;
    QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64) {
        if (received > kMaxBody) {
            tooLarge = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();

    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (tooLarge)
        outcome.error = QStringLiteral("更新信息超过 64 MiB");
    else if (status != 0 && (status < 200 || status > 299))
        outcome.error = QStringLiteral("服务器回答 HTTP %1").arg(status);
    else if (reply->error() != QNetworkReply::NoError)
        outcome.error = reply->errorString();
    else {
        outcome.ok = true;
        outcome.body = reply->readAll();
    }
    reply->deleteLater();
    return outcome;
}
