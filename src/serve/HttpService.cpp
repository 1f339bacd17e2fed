#include "serve/HttpService.h"

#include "serve/CallAnswer.h"
#include "serve/CallRequest.h"
#include "serve/ShortWait.h"
#include "serve/WorkerPool.h"

#include <QElapsedTimer>
#include <QHostAddress>

#include <microhttpd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <unistd.h>

#include <cstring>
#include <memory>

struct HttpService::Exchange {
    QByteArray method;
    QByteArray path;
    QByteArray body;
    QElapsedTimer clock;
    bool started = false;
    bool tooLarge = false;
    bool dispatched = false;
    int status = 0;
};

namespace {
constexpr char kJson[] = "application/json; charset=utf-8";

bool sameSecret(const QByteArray& a, const QByteArray& b) {
    // Takes as long for any wrong token of the right length.
    if (a.size() != b.size())
        return false;
    unsigned char diff = 0;
    for (qsizetype i = 0; i < a.size(); ++i)
        diff |= static_cast<unsigned char>(a[i] ^ b[i]);
    return diff == 0;
}

QByteArray healthJson(const PoolHealth& h) {
    return QByteArrayLiteral("{\"workers\":") + QByteArray::number(h.workers) +
           QByteArrayLiteral(",\"busy\":") + QByteArray::number(h.busy) +
           QByteArrayLiteral(",\"queued\":") + QByteArray::number(h.queued) +
           QByteArrayLiteral(",\"served\":") + QByteArray::number(h.served) +
           QByteArrayLiteral(",\"errors\":") + QByteArray::number(h.errors) + '}';
}
} // namespace

// The library's callbacks, with the exact types it calls.
struct HttpCallbacks {
    static MHD_Result request(void* self, MHD_Connection* connection, const char* url,
                              const char* method, const char*, const char* data, size_t* size,
                              void** state) {
        if (!*state) {
            auto* exchange = new HttpService::Exchange;
            exchange->clock.start();
            exchange->method = method;
            exchange->path = url;
            *state = exchange;
        }
        auto* service = static_cast<HttpService*>(self);
        const int result =
            service->handle(connection, *static_cast<HttpService::Exchange*>(*state), data, size);
        return result == MHD_YES ? MHD_YES : MHD_NO;
    }
    static void completed(void* self, MHD_Connection*, void** state, MHD_RequestTerminationCode) {
        static_cast<HttpService*>(self)->completed(static_cast<HttpService::Exchange*>(*state));
        *state = nullptr;
    }
};

HttpService::HttpService(WorkerPool& pool, RequestLog log) : m_pool(pool), m_log(std::move(log)) {}

HttpService::~HttpService() {
    stop();
}

bool HttpService::isLoopback(const QString& host) {
    if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0)
        return true;
    const QHostAddress address(host);
    return !address.isNull() && address.isLoopback();
}

bool HttpService::start(const HttpSettings& settings, QString* error) {
    m_settings = settings;
    if (!isLoopback(settings.host) && settings.token.isEmpty()) {
        *error =
            QStringLiteral("监听 %1 须用 --token 设定令牌：本机以外的地址上，每个请求都要带上它")
                .arg(settings.host);
        return false;
    }
    const QString host = settings.host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
                             ? QStringLiteral("127.0.0.1")
                             : settings.host;
    QHostAddress address(host);
    if (address.isNull()) {
        *error = QStringLiteral("无法识别的监听地址 %1（须是 IP 地址）").arg(settings.host);
        return false;
    }
    sockaddr_in v4{};
    sockaddr_in6 v6{};
    const sockaddr* bind = nullptr;
    // A thread per connection: the thread that read a request waits for its engine and
    // writes the answer itself, with no hand-back through a polling loop.
    unsigned flags = MHD_USE_THREAD_PER_CONNECTION | MHD_USE_INTERNAL_POLLING_THREAD;
    if (address.protocol() == QAbstractSocket::IPv6Protocol) {
        v6.sin6_family = AF_INET6;
        v6.sin6_port = htons(settings.port);
        const Q_IPV6ADDR bytes = address.toIPv6Address();
        std::memcpy(&v6.sin6_addr, bytes.c, sizeof bytes.c);
        bind = reinterpret_cast<const sockaddr*>(&v6);
        flags |= MHD_USE_IPv6;
    } else {
        v4.sin_family = AF_INET;
        v4.sin_port = htons(settings.port);
        v4.sin_addr.s_addr = htonl(address.toIPv4Address());
        bind = reinterpret_cast<const sockaddr*>(&v4);
    }
    m_daemon = MHD_start_daemon(flags, settings.port, nullptr, nullptr, &HttpCallbacks::request,
                                this, MHD_OPTION_SOCK_ADDR, bind, MHD_OPTION_NOTIFY_COMPLETED,
                                &HttpCallbacks::completed, this, MHD_OPTION_CONNECTION_TIMEOUT,
                                120u, MHD_OPTION_CONNECTION_LIMIT, 1000u,
                                // Connection threads run no script; a request's JSON, nested as
                                // deep as the parser allows, fits in 1 MiB.
                                MHD_OPTION_THREAD_STACK_SIZE, size_t(1024 * 1024), MHD_OPTION_END);
    if (!m_daemon) {
        *error = QStringLiteral("无法在 %1 端口 %2 上监听（端口已被占用？）")
                     .arg(settings.host)
                     .arg(settings.port);
        return false;
    }
    const MHD_DaemonInfo* info = MHD_get_daemon_info(m_daemon, MHD_DAEMON_INFO_BIND_PORT);
    m_port = info ? info->port : settings.port;
    return true;
}

void HttpService::stop() {
    if (!m_daemon)
        return;
    m_stopping.store(true);
    m_listenSocket = MHD_quiesce_daemon(m_daemon);
    {
        std::unique_lock lock(m_mutex);
        m_settled.wait(lock, [this] { return m_inFlight == 0; });
    }
    MHD_stop_daemon(m_daemon);
    m_daemon = nullptr;
    if (m_listenSocket >= 0)
        ::close(m_listenSocket);
    m_listenSocket = -1;
}

void HttpService::completed(Exchange* exchange) {
    if (!exchange)
        return;
    if (m_log)
        m_log(QString::fromUtf8(exchange->method), QString::fromUtf8(exchange->path),
              exchange->status, double(exchange->clock.nsecsElapsed()) / 1e6);
    if (exchange->dispatched) {
        std::lock_guard lock(m_mutex);
        --m_inFlight;
        m_settled.notify_all();
    }
    delete exchange;
}

bool HttpService::authorized(MHD_Connection* connection) const {
    if (m_settings.token.isEmpty())
        return true;
    const char* header =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_AUTHORIZATION);
    return header && sameSecret(QByteArray(header), "Bearer " + m_settings.token.toUtf8());
}

int HttpService::answer(MHD_Connection* connection, Exchange& exchange, int status,
                        const QByteArray& body) {
    exchange.status = status;
    MHD_Response* response = MHD_create_response_from_buffer(
        size_t(body.size()), const_cast<char*>(body.constData()), MHD_RESPMEM_MUST_COPY);
    MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, kJson);
    if (status == MHD_HTTP_METHOD_NOT_ALLOWED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW,
                                exchange.path == "/call" || exchange.path == "/eval"
                                    ? MHD_HTTP_METHOD_POST
                                    : MHD_HTTP_METHOD_GET);
    if (status == MHD_HTTP_UNAUTHORIZED)
        MHD_add_response_header(response, MHD_HTTP_HEADER_WWW_AUTHENTICATE, "Bearer");
    const MHD_Result result = MHD_queue_response(connection, unsigned(status), response);
    MHD_destroy_response(response);
    return result;
}

int HttpService::handle(MHD_Connection* connection, Exchange& exchange, const char* data,
                        size_t* size) {
    if (!exchange.started) {
        // Headers only: a request refused for them is refused before its body is read.
        exchange.started = true;
        if (const auto refusal = refuseEarly(connection, exchange))
            return answer(connection, exchange, refusal->first,
                          refusalAnswer(refusal->first, refusal->second));
        return MHD_YES;
    }
    if (*size) {
        // The body, in pieces; past the limit it is read and dropped.
        if (!exchange.tooLarge) {
            if (exchange.body.size() + qsizetype(*size) > m_settings.bodyLimit) {
                exchange.tooLarge = true;
                exchange.body = QByteArray();
            } else {
                exchange.body.append(data, qsizetype(*size));
            }
        }
        *size = 0;
        return MHD_YES;
    }
    if (exchange.tooLarge)
        return answer(connection, exchange, MHD_HTTP_CONTENT_TOO_LARGE,
                      refusalAnswer(413, tooLargeText()));
    if (exchange.path == "/health")
        return answer(connection, exchange, MHD_HTTP_OK, healthJson(m_pool.health()));
    if (exchange.path == "/functions")
        return answer(connection, exchange, MHD_HTTP_OK, m_pool.functionList());
    if (m_stopping.load())
        return answer(connection, exchange, MHD_HTTP_SERVICE_UNAVAILABLE,
                      refusalAnswer(503, QStringLiteral("服务正在停止")));
    return dispatch(connection, exchange);
}

QString HttpService::tooLargeText() const {
    return QStringLiteral("请求体超过上限 %1 字节").arg(m_settings.bodyLimit);
}

std::optional<std::pair<int, QString>> HttpService::refuseEarly(MHD_Connection* connection,
                                                                const Exchange& exchange) const {
    const QByteArray& path = exchange.path;
    if (!authorized(connection))
        return std::pair{401, QStringLiteral("缺少令牌或令牌不对（Authorization: Bearer …）")};
    const bool callPath = path == "/call" || path == "/eval";
    const bool readPath = path == "/functions" || path == "/health";
    if (!callPath && !readPath)
        return std::pair{404, QStringLiteral("没有这个地址：%1（可用的有 POST /call、POST /eval、"
                                             "GET /functions、GET /health）")
                                  .arg(QString::fromUtf8(path))};
    const char* wanted = callPath ? MHD_HTTP_METHOD_POST : MHD_HTTP_METHOD_GET;
    if (exchange.method != wanted)
        return std::pair{405, QStringLiteral("%1 只接受 %2 请求")
                                  .arg(QString::fromUtf8(path), QString::fromLatin1(wanted))};
    // A client that waits for "100 Continue" is told at once; any other is sending its
    // body already and reads no answer before it is done, so the body is read and dropped.
    const char* length =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_CONTENT_LENGTH);
    const char* expect =
        MHD_lookup_connection_value(connection, MHD_HEADER_KIND, MHD_HTTP_HEADER_EXPECT);
    if (length && expect && QByteArray(length).toLongLong() > m_settings.bodyLimit)
        return std::pair{413, tooLargeText()};
    return std::nullopt;
}

int HttpService::dispatch(MHD_Connection* connection, Exchange& exchange) {
    const auto kind = exchange.path == "/eval" ? CallRequest::Eval : CallRequest::Call;
    RequestCheck check = checkCallRequest(kind, exchange.body);
    if (!check.request)
        return answer(connection, exchange, MHD_HTTP_BAD_REQUEST, refusalAnswer(400, check.reason));
    exchange.body.clear();
    // The engine's answer, handed to this connection's thread; a short call is usually
    // answered within the brief wait, before this thread would go to sleep.
    struct Reply {
        std::atomic<bool> done{false};
        std::mutex mutex;
        std::condition_variable ready;
        QByteArray body;
    };
    auto reply = std::make_shared<Reply>();
    const bool queued = m_pool.submit(
        std::move(*check.request),
        [reply](const CallOutcome& outcome) {
            std::lock_guard lock(reply->mutex);
            reply->body = outcome.answer;
            reply->done.store(true, std::memory_order_release);
            reply->ready.notify_one();
        },
        [&] {
            exchange.dispatched = true;
            std::lock_guard lock(m_mutex);
            ++m_inFlight;
        });
    if (!queued)
        return answer(connection, exchange, MHD_HTTP_SERVICE_UNAVAILABLE,
                      refusalAnswer(503, QStringLiteral("所有引擎都在忙，队列已满，请稍后再试")));
    waitBriefly([&] { return reply->done.load(std::memory_order_acquire); },
                std::chrono::microseconds(50));
    {
        std::unique_lock lock(reply->mutex);
        reply->ready.wait(lock, [&] { return reply->done.load(std::memory_order_relaxed); });
    }
    return answer(connection, exchange, MHD_HTTP_OK, reply->body);
}
