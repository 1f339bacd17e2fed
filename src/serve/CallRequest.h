#pragma once
// A request to the call service, checked on the HTTP side before it reaches an engine:
// a malformed one is refused there with its reason and never costs an engine its time.

#include <QByteArray>
#include <QString>

#include <optional>

struct CallRequest {
    enum Kind { Call, Eval };
    Kind kind = Call;
    // Call: the function's name, or a path of names ("CryptoJS.MD5").
    QString function;
    // Call: whether the body has "args"; the engine reads them from the body itself, so
    // objects keep the order of their keys and numbers their exact reading.
    bool hasArgs = false;
    QByteArray body;
    // Eval: the expression.
    QString expression;
};

struct RequestCheck {
    std::optional<CallRequest> request;
    QString reason; // why it was refused
};

// POST /call {"function": "sign", "args": [...]}, POST /eval {"expression": "..."}.
RequestCheck checkCallRequest(CallRequest::Kind kind, const QByteArray& body);

// The names of a function path, or nothing when one of them is not a plain identifier
// (such a name is looked up on the global object as it is).
std::optional<QStringList> functionPath(const QString& function);
