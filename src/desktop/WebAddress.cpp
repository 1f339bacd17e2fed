#include "desktop/WebAddress.h"

#include "desktop/UpdateCheck.h"

#include <QDesktopServices>
#include <QUrl>

bool openWebAddress(const QString& address) {
    if (!isWebAddress(address))
        return false;
    return QDesktopServices::openUrl(QUrl(address.trimmed(), QUrl::StrictMode));
}
