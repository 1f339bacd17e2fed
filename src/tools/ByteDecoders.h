#pragma once
// The byte-level decodings of the decoder window: URL percent-encoding, Base64 and the
// "UTF8编码" repair of UTF-8 that was shown as GBK. None of them fails; malformed input
// gives the bytes its rules compute.

#include <QByteArray>
#include <QString>

// Percent escapes become the byte they name; every other byte is copied ("+" stays "+").
// Digits are looked up case-insensitively; a byte that is no hexadecimal digit counts as
// -2 and a digit missing at the end as 0, so "%zz" gives DE and a final "%4" gives 40
// (hexadecimal). A "%" at the very end escapes nothing and is dropped.
QByteArray UrlDecode(const QByteArray& text);

// Standard alphabet. Spaces (ASCII and the full-width U+3000) and line breaks are
// skipped. A character outside the alphabet ends its group's filling, and missing
// characters at the end count as such too; at the end that shortens the output as
// "=" padding does.
QByteArray Base64Decode(const QByteArray& text);

// "UTF8编码": the text's GBK bytes read as UTF-8 (invalid sequences become U+FFFD), which
// turns UTF-8 that was shown as GBK back into what it said.
QString Utf8DecodeText(const QString& text);
