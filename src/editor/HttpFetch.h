#pragma once
// Reads one http or https address into memory. Either the whole body arrives and the
// result is a success, or the result is a failure with its reason: a status outside 2xx,
// a body cut short, too many redirects, too long without a byte, too long in all, a body
// over the cap (counted after decompression), or "停止". A half body never counts as read.
// The request names the program as its agent; a user name and password in the address
// go as Basic authorization to that address's own scheme, host and port only, never to
// a host a redirect names.
//
// The reader lives on the thread that creates it and needs that thread's event loop:
// start() and wait for finished(), or run() with a local loop of its own.

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

struct FetchResult {
    bool ok = false;
    QByteArray body;    // the whole body when ok, else empty
    QString error;      // the reason when not ok
    QByteArray charset; // the response's "charset" parameter, lower case; empty when none
    int status = 0;     // the last HTTP status seen; 0 when no response came
    QUrl finalUrl;      // the address the body came from, after redirects
};

class HttpFetch : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxRedirects = 10;
    static constexpr qint64 kMaxBytes = 64LL * 1024 * 1024;
    static constexpr int kStallTimeoutMs = 30000;
    static constexpr int kOverallTimeoutMs = 10 * 60 * 1000;
    // What Qt may hold unread for us: reading from the socket pauses beyond it, so memory
    // stays near the cap however fast the server sends.
    static constexpr qint64 kReadBufferBytes = 1024 * 1024;
    // The User-Agent of every request: the program and its version (kProgramVersion).
    static constexpr char kUserAgent[] = "VexoJS/1.9";

    explicit HttpFetch(QObject* parent = nullptr);
    ~HttpFetch() override;

    // Time without a byte after which the read fails; tests shorten it.
    void setStallTimeout(int ms) { m_stallTimeoutMs = ms; }
    // Time after which the read fails however steadily bytes come, redirects included.
    void setOverallTimeout(int ms) { m_overallTimeoutMs = ms; }
    int overallTimeout() const { return m_overallTimeoutMs; }
    void setMaxBytes(qint64 bytes) { m_maxBytes = bytes; }

    // Begins reading; finished() always follows from the event loop, even for an address
    // that is refused at once. A read already running is stopped first.
    void start(const QString& address);
    // "停止": ends the read as a failure. Nothing happens when no read is running.
    void stop();
    bool isRunning() const { return m_running; }
    const FetchResult& result() const { return m_result; }

    // start() and a local event loop until the read has ended.
    FetchResult run(const QString& address);
    // One read with the standard limits.
    static FetchResult fetch(const QString& address);

    // The address as a URL when it is one we read (http or https with a host).
    static std::optional<QUrl> readableUrl(const QString& address);

signals:
    // Bytes of the body so far, and its length when the server told it (else -1).
    void progress(qint64 received, qint64 total);
    void finished();

private:
    void request(const QUrl& url);
    void onMetaData();
    void onReadyRead();
    void onReplyFinished();
    void onStalled();
    void onOverallTimeout();
    void fail(const QString& reason);
    void succeed();
    void dropReply();
    void end();

    QNetworkAccessManager* m_network;
    QPointer<QNetworkReply> m_reply;
    QTimer m_stallTimer;
    QTimer m_overallTimer;
    FetchResult m_result;
    QByteArray m_authorization; // "Basic …" from the typed address, or empty
    QUrl m_authorizedOrigin;    // the only scheme, host and port it goes to
    int m_stallTimeoutMs = kStallTimeoutMs;
    int m_overallTimeoutMs = kOverallTimeoutMs;
    qint64 m_maxBytes = kMaxBytes;
    int m_redirects = 0;
    quint64 m_run = 0;          // counts start() calls
    bool m_haveHeaders = false; // of the current hop
    bool m_discardBody = false;
    qint64 m_discarded = 0;
    bool m_running = false;
};
