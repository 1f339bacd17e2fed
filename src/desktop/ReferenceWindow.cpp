#include "desktop/ReferenceWindow.h"

#include "desktop/WebAddress.h"

#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

const QUrl& ReferenceWindow::startPage() {
    static const QUrl page(QStringLiteral("qrc:/manual/javascript.html"));
    return page;
}

ReferenceWindow::ReferenceWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("JScript速查手册"));
    setAttribute(Qt::WA_QuitOnClose, false);
    move(50, 50);
    resize(752, 544);
    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("超文本浏览框1"));
    m_browser->setFont(QFont(QStringLiteral("微软雅黑"), 10));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_browser);
    m_browser->setOpenLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &ReferenceWindow::onLinkClicked);
    m_browser->setSource(startPage());
}

void ReferenceWindow::onLinkClicked(const QUrl& link) {
    const QUrl target = m_browser->source().resolved(link);
    if (target.scheme() == QLatin1String("qrc")) {
        m_browser->setSource(target);
    } else {
        openWebAddress(target.toString()); // only http and https leave the program
    }
}
