#include "engine/InspectorLink.h"

#include "engine/InspectorSymbols.h"
#include "engine/InspectorWire.h"

// GIO names a struct member after Qt's `signals` keyword.
#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QJsonDocument>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <thread>

#include <pthread.h>

namespace {
constexpr int kOpenTimeoutMs = 5000;

struct Peer {
    GSocket* socket = nullptr;
    GSource* input = nullptr;
    GSource* output = nullptr;
    InspectorWire::Reader reader;
    QByteArray pending; // bytes not yet written
};
} // namespace

struct InspectorLink::State {
    GMainContext* context = nullptr;
    GMainLoop* loop = nullptr;
    std::thread thread;
    std::thread::id threadId;

    // Guarded by mutex: what other threads wait for.
    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool open = false;
    bool failed = false;
    QString failure;
    QList<InspectorWire::Target> targets;
    quint64 targetSerial = 0;
    EventHandler handler;

    // Inspector thread only.
    QString expectedName;
    GSocket* listener = nullptr;
    GSource* listenSource = nullptr;
    std::list<Peer*> candidates;
    Peer* peer = nullptr;
    int nextId = 0;
    std::map<int, Reply> replies;

    void run();
    void startServer();
    void fail(const QString& why);
    void closeListener();
    void dropPeer(Peer* p);
    void acceptPending();
    void readFrom(Peer* p);
    void handleFrame(Peer* p, const InspectorWire::Frame& frame);
    void write(Peer* p, const QByteArray& bytes);
    void flush(Peer* p);

    struct PeerEvent {
        State* state;
        Peer* peer;
    };
    static gboolean onListener(GSocket*, GIOCondition, gpointer data) {
        static_cast<State*>(data)->acceptPending();
        return G_SOURCE_CONTINUE;
    }
    static gboolean onPeerInput(GSocket*, GIOCondition, gpointer data) {
        auto* e = static_cast<PeerEvent*>(data);
        e->state->readFrom(e->peer);
        return G_SOURCE_CONTINUE;
    }
    static gboolean onPeerOutput(GSocket*, GIOCondition, gpointer data) {
        auto* e = static_cast<PeerEvent*>(data);
        e->state->flush(e->peer);
        return G_SOURCE_CONTINUE;
    }
};

namespace {
gboolean runPosted(gpointer data) {
    (*static_cast<std::function<void()>*>(data))();
    return G_SOURCE_REMOVE;
}

void deletePosted(gpointer data) {
    delete static_cast<std::function<void()>*>(data);
}
} // namespace

void InspectorLink::State::run() {
    pthread_setname_np(pthread_self(), "inspector");
    g_main_context_push_thread_default(context);
    g_main_loop_run(loop);
    g_main_context_pop_thread_default(context);
}

void InspectorLink::State::fail(const QString& why) {
    closeListener();
    std::lock_guard lock(mutex);
    failed = true;
    failure = why;
    changed.notify_all();
}

void InspectorLink::State::startServer() {
    const InspectorSymbols& symbols = InspectorSymbols::instance();
    if (!symbols.available()) {
        fail(symbols.reason());
        return;
    }
    GError* error = nullptr;
    listener =
        g_socket_new(G_SOCKET_FAMILY_IPV4, G_SOCKET_TYPE_STREAM, G_SOCKET_PROTOCOL_TCP, &error);
    GInetAddress* loopback = g_inet_address_new_loopback(G_SOCKET_FAMILY_IPV4);
    GSocketAddress* any = g_inet_socket_address_new(loopback, 0);
    g_object_unref(loopback);
    const bool listening = listener && g_socket_bind(listener, any, FALSE, &error) &&
                           g_socket_listen(listener, &error);
    g_object_unref(any);
    if (!listening) {
        const QString why = QStringLiteral("调试器不可用：无法监听本机端口（%1）")
                                .arg(QString::fromUtf8(error ? error->message : ""));
        g_clear_error(&error);
        fail(why);
        return;
    }
    g_socket_set_blocking(listener, FALSE);
    GSocketAddress* local = g_socket_get_local_address(listener, nullptr);
    const int port = local ? g_inet_socket_address_get_port(G_INET_SOCKET_ADDRESS(local)) : 0;
    if (local)
        g_object_unref(local);
    listenSource = g_socket_create_source(listener, G_IO_IN, nullptr);
    g_source_set_callback(listenSource, G_SOURCE_FUNC(onListener), this, nullptr);
    g_source_attach(listenSource, context);
    // The engine connects from this thread's default context, which is ours.
    symbols.setServerAddress(QByteArrayLiteral("127.0.0.1:") + QByteArray::number(port));
    symbols.start();
}

void InspectorLink::State::closeListener() {
    if (listenSource) {
        g_source_destroy(listenSource);
        g_source_unref(listenSource);
        listenSource = nullptr;
    }
    if (listener) {
        g_socket_close(listener, nullptr);
        g_object_unref(listener);
        listener = nullptr;
    }
}

void InspectorLink::State::acceptPending() {
    while (listener) {
        GSocket* socket = g_socket_accept(listener, nullptr, nullptr);
        if (!socket)
            return;
        auto* p = new Peer;
        p->socket = socket;
        g_socket_set_blocking(socket, FALSE);
        p->input =
            g_socket_create_source(socket, GIOCondition(G_IO_IN | G_IO_HUP | G_IO_ERR), nullptr);
        g_source_set_callback(p->input, G_SOURCE_FUNC(onPeerInput), new PeerEvent{this, p},
                              [](gpointer e) { delete static_cast<PeerEvent*>(e); });
        g_source_attach(p->input, context);
        candidates.push_back(p);
        // A peer earns its place by listing our context.
        write(p, InspectorWire::getTargetList());
    }
}

void InspectorLink::State::dropPeer(Peer* p) {
    candidates.remove(p);
    for (GSource** s : {&p->input, &p->output})
        if (*s) {
            g_source_destroy(*s);
            g_source_unref(*s);
            *s = nullptr;
        }
    g_socket_close(p->socket, nullptr);
    g_object_unref(p->socket);
    if (p == peer) {
        peer = nullptr;
        // Whoever waits for a reply learns that none will come.
        auto waiting = std::move(replies);
        replies.clear();
        QJsonObject closed{{QStringLiteral("error"),
                            QJsonObject{{QStringLiteral("message"),
                                         QStringLiteral("inspector connection closed")}}}};
        for (auto& [id, reply] : waiting)
            if (reply)
                reply(closed);
        std::lock_guard lock(mutex);
        open = false;
        changed.notify_all();
    }
    delete p;
}

void InspectorLink::State::readFrom(Peer* p) {
    char buffer[64 * 1024];
    for (;;) {
        GError* error = nullptr;
        const gssize n = g_socket_receive(p->socket, buffer, sizeof buffer, nullptr, &error);
        if (n < 0 && g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK)) {
            g_clear_error(&error);
            break;
        }
        g_clear_error(&error);
        if (n <= 0) {
            dropPeer(p);
            return;
        }
        p->reader.feed(QByteArray(buffer, qsizetype(n)));
        if (n < gssize(sizeof buffer))
            break;
    }
    while (auto frame = p->reader.next()) {
        handleFrame(p, *frame);
        if (p != peer && std::find(candidates.begin(), candidates.end(), p) == candidates.end())
            return; // dropped while handling
    }
    if (p->reader.broken())
        dropPeer(p);
}

void InspectorLink::State::handleFrame(Peer* p, const InspectorWire::Frame& frame) {
    if (auto list = InspectorWire::targetList(frame)) {
        if (p != peer) {
            const bool ours = std::any_of(list->begin(), list->end(),
                                          [&](const auto& t) { return t.name == expectedName; });
            if (!ours) {
                dropPeer(p);
                return;
            }
            candidates.remove(p);
            peer = p;
            closeListener();
            while (!candidates.empty())
                dropPeer(candidates.front());
        }
        std::lock_guard lock(mutex);
        targets = *list;
        ++targetSerial;
        open = true;
        changed.notify_all();
        return;
    }
    if (p != peer)
        return; // nothing but a target list counts from an unproven peer
    auto message = InspectorWire::frontendMessage(frame);
    if (!message)
        return;
    const QJsonObject json = QJsonDocument::fromJson(message->json).object();
    if (json.contains(QLatin1String("id"))) {
        auto it = replies.find(json.value(QLatin1String("id")).toInt());
        if (it == replies.end())
            return;
        Reply reply = std::move(it->second);
        replies.erase(it);
        if (reply)
            reply(json);
        return;
    }
    EventHandler h;
    {
        std::lock_guard lock(mutex);
        h = handler;
    }
    if (h)
        h(message->target, json.value(QLatin1String("method")).toString(),
          json.value(QLatin1String("params")).toObject());
}

void InspectorLink::State::write(Peer* p, const QByteArray& bytes) {
    p->pending += bytes;
    flush(p);
}

void InspectorLink::State::flush(Peer* p) {
    while (!p->pending.isEmpty()) {
        GError* error = nullptr;
        const gssize n = g_socket_send(p->socket, p->pending.constData(), gsize(p->pending.size()),
                                       nullptr, &error);
        if (n < 0) {
            const bool later = g_error_matches(error, G_IO_ERROR, G_IO_ERROR_WOULD_BLOCK);
            g_clear_error(&error);
            if (!later) {
                dropPeer(p);
                return;
            }
            break;
        }
        p->pending.remove(0, qsizetype(n));
    }
    if (!p->pending.isEmpty() && !p->output) {
        p->output = g_socket_create_source(p->socket, G_IO_OUT, nullptr);
        g_source_set_callback(p->output, G_SOURCE_FUNC(onPeerOutput), new PeerEvent{this, p},
                              [](gpointer e) { delete static_cast<PeerEvent*>(e); });
        g_source_attach(p->output, context);
    } else if (p->pending.isEmpty() && p->output) {
        g_source_destroy(p->output);
        g_source_unref(p->output);
        p->output = nullptr;
    }
}

InspectorLink& InspectorLink::instance() {
    // Lives as long as the process: the engine keeps its side of the connection to the end.
    static InspectorLink* link = new InspectorLink;
    return *link;
}

InspectorLink::InspectorLink() : d(std::make_unique<State>()) {}

InspectorLink::~InspectorLink() = default;

bool InspectorLink::onInspectorThread() const {
    return d->started && std::this_thread::get_id() == d->threadId;
}

void InspectorLink::post(std::function<void()> work) {
    if (onInspectorThread()) {
        work();
        return;
    }
    g_main_context_invoke_full(d->context, G_PRIORITY_DEFAULT, runPosted,
                               new std::function<void()>(std::move(work)), deletePosted);
}

bool InspectorLink::open(const QString& expectedName, QString* why) {
    std::unique_lock lock(d->mutex);
    if (d->open)
        return true;
    if (d->failed) {
        if (why)
            *why = d->failure;
        return false;
    }
    if (!d->started) {
        d->context = g_main_context_new();
        d->loop = g_main_loop_new(d->context, FALSE);
        d->thread = std::thread([state = d.get()] { state->run(); });
        d->threadId = d->thread.get_id();
        d->thread.detach();
        d->started = true;
        lock.unlock();
        post([state = d.get(), expectedName] {
            state->expectedName = expectedName;
            state->startServer();
        });
        lock.lock();
    }
    const bool done = d->changed.wait_for(lock, std::chrono::milliseconds(kOpenTimeoutMs),
                                          [this] { return d->open || d->failed; });
    if (!done) {
        d->failed = true;
        d->failure = QStringLiteral("调试器不可用：脚本引擎没有连接调试端口");
        lock.unlock();
        post([state = d.get()] { state->closeListener(); });
        lock.lock();
    }
    if (!d->open && why)
        *why = d->failure;
    return d->open;
}

bool InspectorLink::isOpen() const {
    std::lock_guard lock(d->mutex);
    return d->open;
}

std::optional<quint64> InspectorLink::attach(const QString& contextName, int timeoutMs) {
    if (!isOpen() || onInspectorThread())
        return std::nullopt;
    quint64 serial = 0;
    {
        std::lock_guard lock(d->mutex);
        serial = d->targetSerial;
    }
    post([state = d.get()] {
        if (state->peer)
            state->write(state->peer, InspectorWire::getTargetList());
    });
    std::unique_lock lock(d->mutex);
    std::optional<quint64> found;
    d->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        if (!d->open)
            return true;
        if (d->targetSerial == serial)
            return false;
        for (const auto& t : d->targets)
            if (t.name == contextName)
                found = t.id;
        serial = d->targetSerial;
        return found.has_value();
    });
    lock.unlock();
    if (found)
        post([state = d.get(), id = *found] {
            if (state->peer)
                state->write(state->peer, InspectorWire::setup(id));
        });
    return found;
}

void InspectorLink::detach(quint64 target) {
    post([state = d.get(), target] {
        if (state->peer)
            state->write(state->peer, InspectorWire::frontendDidClose(target));
    });
}

void InspectorLink::send(quint64 target, const QString& method, const QJsonObject& params,
                         Reply onReply) {
    post([state = d.get(), target, method, params, onReply = std::move(onReply)]() mutable {
        if (!state->peer) {
            if (onReply)
                onReply(QJsonObject{
                    {QStringLiteral("error"),
                     QJsonObject{{QStringLiteral("message"), QStringLiteral("not connected")}}}});
            return;
        }
        const int id = ++state->nextId;
        QJsonObject command{{QStringLiteral("id"), id}, {QStringLiteral("method"), method}};
        if (!params.isEmpty())
            command.insert(QStringLiteral("params"), params);
        state->replies.emplace(id, std::move(onReply));
        state->write(state->peer,
                     InspectorWire::sendMessageToTarget(
                         target, QJsonDocument(command).toJson(QJsonDocument::Compact)));
    });
}

std::optional<QJsonObject> InspectorLink::call(quint64 target, const QString& method,
                                               const QJsonObject& params, int timeoutMs) {
    if (onInspectorThread())
        return std::nullopt;
    struct Wait {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<QJsonObject> reply;
    };
    auto wait = std::make_shared<Wait>();
    send(target, method, params, [wait](const QJsonObject& reply) {
        std::lock_guard lock(wait->mutex);
        wait->reply = reply;
        wait->done.notify_all();
    });
    std::unique_lock lock(wait->mutex);
    wait->done.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                        [&] { return wait->reply.has_value(); });
    return wait->reply;
}

void InspectorLink::setEventHandler(EventHandler handler) {
    std::lock_guard lock(d->mutex);
    d->handler = std::move(handler);
}
