#include "tools/Decode.h"

#include "script/ValueText.h"

#include "tools/ByteDecoders.h"
#include "tools/UnescapeText.h"

std::optional<DecodeKind> decodeKindFromName(const QString& name) {
    if (name == QLatin1String("usc"))
        return DecodeKind::Usc;
    if (name == QLatin1String("utf8"))
        return DecodeKind::Utf8;
    if (name == QLatin1String("url"))
        return DecodeKind::Url;
    if (name == QLatin1String("base64"))
        return DecodeKind::Base64;
    return std::nullopt;
}

DecodeResult Decode(DecodeKind kind, const QByteArray& input) {
    switch (kind) {
    case DecodeKind::Usc: {
        const ToolResult r = UnescapeText(QString::fromUtf8(input));
        if (!r.ok)
            return {false, {}, r.error};
        // A lone surrogate has no UTF-8 form; written as its escape it stays visible.
        return {true, escapeLoneSurrogates(r.text).toUtf8(), {}};
    }
    case DecodeKind::Utf8:
        return {true, Utf8DecodeText(QString::fromUtf8(input)).toUtf8(), {}};
    case DecodeKind::Url:
        return {true, UrlDecode(input), {}};
    case DecodeKind::Base64:
        return {true, Base64Decode(input), {}};
    }
    return {};
}
