#include "shell/DownloadBusyBox.h"

#include <QDialog>
#include <QEventLoop>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

QString DownloadBusyBox::sizeText(qint64 bytes) {
    if (bytes < 1024)
        return QStringLiteral("%1 字节").arg(bytes);
    if (bytes < 1024 * 1024)
        return QStringLiteral("%1 KB").arg(double(bytes) / 1024.0, 0, 'f', 1);
    return QStringLiteral("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

FetchResult DownloadBusyBox::run(HttpFetch& fetch, const QString& address) {
    {
        QEventLoop loop;
        QObject::connect(&fetch, &HttpFetch::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kDelayMs, &loop, &QEventLoop::quit);
        fetch.start(address);
        // Input waits until the read is done; painting and timers go on.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (!fetch.isRunning())
        return fetch.result();

    QDialog box(m_parent);
    box.setObjectName(QStringLiteral("正在读取"));
    box.setWindowTitle(QStringLiteral("正在读取…"));
    box.setWindowFlags(box.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    box.setModal(true);
    auto* where = new QLabel(&box);
    where->setText(where->fontMetrics().elidedText(address, Qt::ElideMiddle, 360));
    auto* amount = new QLabel(QStringLiteral("正在连接…"), &box);
    amount->setObjectName(QStringLiteral("标签_进度"));
    auto* bar = new QProgressBar(&box);
    bar->setRange(0, 0); // moving until the length is known
    bar->setTextVisible(false);
    auto* stop = new QPushButton(QStringLiteral("停止"), &box);
    stop->setObjectName(QStringLiteral("按钮_停止"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(stop);
    auto* layout = new QVBoxLayout(&box);
    layout->addWidget(where);
    layout->addWidget(bar);
    layout->addWidget(amount);
    layout->addLayout(row);
    box.setMinimumWidth(400);

    QObject::connect(&fetch, &HttpFetch::progress, &box, [&](qint64 got, qint64 total) {
        if (total > 0) {
            bar->setRange(0, 1000);
            bar->setValue(int(std::min<qint64>(1000, got * 1000 / total)));
            amount->setText(QStringLiteral("已读取 %1，共 %2").arg(sizeText(got), sizeText(total)));
        } else {
            amount->setText(QStringLiteral("已读取 %1").arg(sizeText(got)));
        }
    });
    QObject::connect(stop, &QPushButton::clicked, &box, [&] { fetch.stop(); });
    // Closing the box stops the read as well.
    QObject::connect(&box, &QDialog::rejected, &box, [&] { fetch.stop(); });
    QObject::connect(&fetch, &HttpFetch::finished, &box, &QDialog::accept);
    while (fetch.isRunning())
        box.exec();
    return fetch.result();
}
