#pragma once
// Conversions between byte texts in named encodings (GBK through the ICU codecs) and
// Unicode.

#include <QByteArray>
#include <QString>

#include <optional>

// nullopt when the codec is unknown or the bytes are not valid in it.
std::optional<QString> decodeBytes(const QByteArray& bytes, const char* encoding);
std::optional<QByteArray> encodeText(const QString& text, const char* encoding);
// Converts a byte text from one encoding to another; the empty text when that fails.
QByteArray convertEncoding(const QByteArray& bytes, const char* from, const char* to);
