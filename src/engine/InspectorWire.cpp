#include "engine/InspectorWire.h"

#include <glib.h>

#include <cstring>
#include <memory>

namespace InspectorWire {
namespace {
struct VariantUnref {
    void operator()(GVariant* v) const { g_variant_unref(v); }
};
using VariantPtr = std::unique_ptr<GVariant, VariantUnref>;

QByteArray frame(const char* name, GVariant* floating) {
    VariantPtr value(floating ? g_variant_ref_sink(floating) : nullptr);
    const qsizetype nameSize = qsizetype(std::strlen(name)) + 1;
    const qsizetype payloadSize = value ? qsizetype(g_variant_get_size(value.get())) : 0;
    const quint32 body = quint32(nameSize + payloadSize);
    QByteArray out;
    out.reserve(5 + body);
    out.append(char(body >> 24))
        .append(char(body >> 16))
        .append(char(body >> 8))
        .append(char(body));
    out.append(char(G_BYTE_ORDER == G_LITTLE_ENDIAN ? 1 : 0));
    out.append(name, nameSize);
    if (value)
        out.append(static_cast<const char*>(g_variant_get_data(value.get())), payloadSize);
    return out;
}

// The payload as a trusted, normal-form value of the type, in this machine's order.
VariantPtr decode(const Frame& f, const char* type) {
    // The bytes are copied: GVariant wants them aligned and alive as long as the value.
    GBytes* bytes = g_bytes_new(f.payload.constData(), gsize(f.payload.size()));
    VariantPtr value(
        g_variant_ref_sink(g_variant_new_from_bytes(G_VARIANT_TYPE(type), bytes, FALSE)));
    g_bytes_unref(bytes);
    if ((G_BYTE_ORDER == G_LITTLE_ENDIAN) != f.littleEndian)
        value.reset(g_variant_ref_sink(g_variant_byteswap(value.get())));
    // A value that is not in normal form came from broken or foreign bytes.
    if (!g_variant_is_normal_form(value.get()))
        return nullptr;
    return value;
}
} // namespace

std::optional<Frame> Reader::next() {
    if (m_broken || m_buffer.size() < 5)
        return std::nullopt;
    const auto* p = reinterpret_cast<const uchar*>(m_buffer.constData());
    const quint32 body = quint32(p[0]) << 24 | quint32(p[1]) << 16 | quint32(p[2]) << 8 | p[3];
    if (body == 0 || body > kMaxBody) {
        m_broken = true;
        return std::nullopt;
    }
    if (quint64(m_buffer.size()) < 5ull + body)
        return std::nullopt;
    const char* start = m_buffer.constData() + 5;
    const void* nul = std::memchr(start, 0, body);
    if (!nul) {
        m_broken = true;
        return std::nullopt;
    }
    Frame f;
    const qsizetype nameSize = static_cast<const char*>(nul) - start;
    f.name = QByteArray(start, nameSize);
    f.payload = QByteArray(start + nameSize + 1, qsizetype(body) - nameSize - 1);
    f.littleEndian = (p[4] & 1) != 0;
    m_buffer.remove(0, 5 + qsizetype(body));
    return f;
}

QByteArray getTargetList() {
    return frame("GetTargetList", nullptr);
}

QByteArray setup(quint64 target) {
    return frame("Setup", g_variant_new("(t)", guint64(target)));
}

QByteArray frontendDidClose(quint64 target) {
    return frame("FrontendDidClose", g_variant_new("(t)", guint64(target)));
}

QByteArray sendMessageToTarget(quint64 target, const QByteArray& json) {
    return frame("SendMessageToTarget", g_variant_new("(ts)", guint64(target), json.constData()));
}

std::optional<QList<Target>> targetList(const Frame& f) {
    if (f.name != "SetTargetList")
        return std::nullopt;
    VariantPtr value = decode(f, "(a(tsssb)b)");
    if (!value)
        return std::nullopt;
    QList<Target> targets;
    VariantPtr list(g_variant_get_child_value(value.get(), 0));
    GVariantIter it;
    g_variant_iter_init(&it, list.get());
    guint64 id = 0;
    const char* type = nullptr;
    const char* name = nullptr;
    const char* url = nullptr;
    gboolean hasDebugger = FALSE;
    while (g_variant_iter_next(&it, "(t&s&s&sb)", &id, &type, &name, &url, &hasDebugger))
        targets.append({quint64(id), QString::fromUtf8(type), QString::fromUtf8(name)});
    return targets;
}

std::optional<TargetMessage> frontendMessage(const Frame& f) {
    if (f.name != "SendMessageToFrontend")
        return std::nullopt;
    VariantPtr value = decode(f, "(ts)");
    if (!value)
        return std::nullopt;
    guint64 target = 0;
    const char* json = nullptr;
    g_variant_get(value.get(), "(t&s)", &target, &json);
    return TargetMessage{quint64(target), QByteArray(json)};
}

} // namespace InspectorWire
