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

// Bytes shown as text: read as UTF-8 when they are valid UTF-8, else as GBK (a byte that
// is not GBK either becomes U+FFFD). Every byte counts; a NUL or a leading byte-order
// mark is kept as a character.
QString bytesAsText(const QByteArray& bytes);
