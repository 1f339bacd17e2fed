#include "browser/BrowserOptions.h"

#include <QJsonDocument>
#include <QJsonObject>

QString BrowserOptions::settingsJson() const {
    QJsonObject settings;
    settings.insert(QStringLiteral("url"), pageUrl.isEmpty() ? defaultPageUrl() : pageUrl);
    settings.insert(QStringLiteral("referrer"), referrer);
    settings.insert(QStringLiteral("monitor"), monitor);
    if (!userAgent.isEmpty()) {
        QJsonObject navigator;
        navigator.insert(QStringLiteral("userAgent"), userAgent);
        settings.insert(QStringLiteral("navigator"), navigator);
    }
    return QString::fromUtf8(QJsonDocument(settings).toJson(QJsonDocument::Compact));
}
