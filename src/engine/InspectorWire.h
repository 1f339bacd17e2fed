#pragma once
// The frames the engine's remote inspector exchanges with its server: a u32 big-endian
// body size, a u8 of flags (bit 0: the payload is little-endian), then the body: the
// message name with its NUL and a serialized GVariant whose type each name fixes.
//   from the engine: SetTargetList (a(tsssb)b), SendMessageToFrontend (ts)
//   to the engine:   GetTargetList (none), Setup (t), SendMessageToTarget (ts),
//                    FrontendDidClose (t)
// The protocol JSON travels in the string of the (ts) messages.

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace InspectorWire {

// Bodies larger than this are refused: no inspector message comes near it, and a size
// read from a foreign peer must not make us allocate gigabytes.
inline constexpr quint32 kMaxBody = 256u * 1024u * 1024u;

struct Frame {
    QByteArray name;
    QByteArray payload; // the serialized GVariant, possibly empty
    bool littleEndian = true;
};

struct Target {
    quint64 id = 0;
    QString type;
    QString name;
};

// Cuts whole frames off the front of a receive buffer.
class Reader {
public:
    void feed(const QByteArray& bytes) { m_buffer += bytes; }
    // The next whole frame; nullopt when more bytes are needed or the stream is broken
    // (then broken() is true and nothing more is read).
    std::optional<Frame> next();
    bool broken() const { return m_broken; }

private:
    QByteArray m_buffer;
    bool m_broken = false;
};

QByteArray getTargetList();
QByteArray setup(quint64 target);
QByteArray frontendDidClose(quint64 target);
QByteArray sendMessageToTarget(quint64 target, const QByteArray& json);

// The payloads from the engine; nullopt when the frame does not hold that type.
std::optional<QList<Target>> targetList(const Frame& frame);
struct TargetMessage {
    quint64 target = 0;
    QByteArray json;
};
std::optional<TargetMessage> frontendMessage(const Frame& frame);

} // namespace InspectorWire
