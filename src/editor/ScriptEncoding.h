#pragma once
// How the bytes of a script file or a downloaded page become the editors' UTF-8.
// Detection order: a byte-order mark (UTF-8, UTF-16 LE/BE); else valid UTF-8 as it is;
// else the charset the server named, or an HTML <meta> charset; else GBK. A UTF-16 label
// counts only from the server and only on an even-length body with the zero bytes of
// UTF-16's ASCII characters;
// otherwise it means UTF-8, as in browsers, and the next hint decides.

#include <QByteArray>
#include <QString>

struct DecodedScript {
    QByteArray utf8;     // the text for the editor; every byte kept, NULs included
    QByteArray encoding; // what the bytes were read as: "UTF-8", "UTF-16LE", "GBK", ...
};

DecodedScript decodeScript(const QByteArray& bytes, const QByteArray& declaredCharset = {});

// The charset an HTML page declares near its start (<meta charset=...> or the
// http-equiv Content-Type form), lower case; empty when none.
QByteArray htmlMetaCharset(const QByteArray& bytes);

// The bytes taken as UTF-8 whatever they hold; invalid sequences become U+FFFD.
QString Utf8Decode(const QByteArray& bytes);
