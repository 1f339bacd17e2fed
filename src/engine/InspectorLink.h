#pragma once
// The connection to the engine's remote inspector, on a thread of its own with its own
// main loop. The workbench is the inspector's server: it listens on 127.0.0.1 (a free
// port), tells the engine that address and starts the engine's side, which connects from
// this same thread. The first peer whose target list names the expected context is kept
// and the listener closed; any other peer is dropped. Protocol commands are handled by the
// engine on this thread, never on the GUI or the script thread.
//
// Calls are safe from any thread. Replies and events are delivered on the inspector
// thread; call() waits for a reply from another thread.

#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class InspectorLink {
public:
    using Reply = std::function<void(const QJsonObject& message)>;
    using EventHandler =
        std::function<void(quint64 target, const QString& method, const QJsonObject& params)>;

    static InspectorLink& instance();

    // Opens the connection once per process; expectedName is a context name the engine's
    // target list must hold. False with the reason when it cannot be made.
    bool open(const QString& expectedName, QString* why);
    bool isOpen() const;

    // The target of the context with that name, set up for commands; nullopt when the
    // engine does not list it within timeoutMs.
    std::optional<quint64> attach(const QString& contextName, int timeoutMs);
    void detach(quint64 target);

    // Sends a command; onReply (optional) gets the reply message on the inspector thread.
    void send(quint64 target, const QString& method, const QJsonObject& params = {},
              Reply onReply = {});
    // Sends and waits (not on the inspector thread): the reply, or nullopt after timeoutMs.
    std::optional<QJsonObject> call(quint64 target, const QString& method,
                                    const QJsonObject& params = {}, int timeoutMs = 5000);

    // Messages without an id, on the inspector thread.
    void setEventHandler(EventHandler handler);

    bool onInspectorThread() const;
    // Runs work on the inspector thread (at once when already there).
    void post(std::function<void()> work);

    InspectorLink(const InspectorLink&) = delete;
    InspectorLink& operator=(const InspectorLink&) = delete;

    struct State; // the inspector thread's side

private:
    InspectorLink();
    ~InspectorLink();
    std::unique_ptr<State> d;
};
