#pragma once
// How the window waits for a download: briefly in a local loop that takes no input, then,
// after about 300 ms, behind a modal box that shows how much has arrived and whose
// "停止" button ends the read. The window keeps repainting meanwhile.

#include "editor/HttpFetch.h"

class QWidget;

class DownloadBusyBox {
public:
    static constexpr int kDelayMs = 300;

    explicit DownloadBusyBox(QWidget* parent = nullptr) : m_parent(parent) {}
    // Reads the address with the given reader and returns its result.
    FetchResult run(HttpFetch& fetch, const QString& address);

    // "1.5 MB", "20 KB", "300 字节": sizes as the box shows them.
    static QString sizeText(qint64 bytes);

private:
    QWidget* m_parent;
};
