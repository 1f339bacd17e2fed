#pragma once
// The four decodings of the decoder window, on bytes, for the window and the command line.

#include <QByteArray>
#include <QString>

#include <optional>

// In the order of the window's list: "USC编码", "UTF8编码", "URL编码", "Base64编码".
enum class DecodeKind { Usc = 0, Utf8 = 1, Url = 2, Base64 = 3 };

// "usc", "utf8", "url", "base64"; nullopt for any other name.
std::optional<DecodeKind> decodeKindFromName(const QString& name);

struct DecodeResult {
    bool ok = true;
    QByteArray bytes;
    QString error;
};

// URL and Base64 work on the bytes as they are; "USC编码" and "UTF8编码" read the input as
// UTF-8 text and give UTF-8. Only "USC编码" can fail (a malformed escape, or stopped).
// "USC编码" runs on the script thread and waits there like every engine call.
DecodeResult Decode(DecodeKind kind, const QByteArray& input);
