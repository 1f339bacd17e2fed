#include "editor/ScriptEncoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace {
// How far into a page a <meta> charset is looked for.
constexpr qsizetype kMetaScanBytes = 4096;

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF, no sequence cut
// off at the end. (A stateless QStringDecoder forgets its errors, so it cannot tell.)
bool isValidUtf8(const QByteArray& bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* end = p + bytes.size();
    while (p < end) {
        // Scripts are mostly ASCII: skip it eight bytes at a time.
        while (end - p >= 8) {
            quint64 word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL)
                break;
            p += 8;
        }
        if (p == end)
            break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int more = 0;
        unsigned char lo = 0x80, hi = 0xBF; // allowed range of the second byte
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            if (c == 0xE0)
                lo = 0xA0;
            else if (c == 0xED)
                hi = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            if (c == 0xF0)
                lo = 0x90;
            else if (c == 0xF4)
                hi = 0x8F;
        } else {
            return false;
        }
        if (end - p <= more || p[1] < lo || p[1] > hi)
            return false;
        for (int i = 2; i <= more; ++i)
            if ((p[i] & 0xC0) != 0x80)
                return false;
        p += more + 1;
    }
    return true;
}

// Decodes with a codec and keeps a leading byte-order mark out of the text.
QByteArray toUtf8(const QByteArray& bytes, const char* codec) {
    QStringDecoder decoder(codec, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text.toUtf8();
}

// Names that pages use for the Chinese code pages all read as GBK, its superset; other
// names as ICU knows them.
QByteArray codecName(const QByteArray& declared) {
    const QByteArray name = declared.trimmed().toLower();
    if (name == "gb2312" || name == "gbk" || name == "x-gbk" || name == "cp936" ||
        name == "windows-936" || name == "gb_2312-80" || name == "euc-cn")
        return "GBK";
    return name;
}
bool isUtf16Label(const QByteArray& name) {
    return name.startsWith("utf-16") || name.startsWith("ucs-2") || name == "unicode" ||
           name == "csunicode" || name == "iso-10646-ucs-2" || name == "unicodefeff" ||
           name == "unicodefffe";
}

// Whether the bytes can be UTF-16 at all: whole code units, and the zero bytes that the
// ASCII characters of any script leave in every other place (at least one in twenty of
// them near the start). A body without them is ASCII-compatible.
bool mayBeUtf16(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.size() % 2 != 0)
        return false;
    const qsizetype scanned = std::min<qsizetype>(bytes.size(), kMetaScanBytes);
    qsizetype zeros[2] = {0, 0};
    for (qsizetype i = 0; i < scanned; ++i)
        zeros[i % 2] += bytes[i] == '\0';
    return std::max(zeros[0], zeros[1]) * 20 >= scanned / 2;
}
} // namespace

QByteArray htmlMetaCharset(const QByteArray& bytes) {
    static const QRegularExpression meta(
        QStringLiteral(R"(<meta\b[^>]*?charset\s*=\s*["']?\s*([A-Za-z0-9_:.\-]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const QString head = QString::fromLatin1(bytes.left(kMetaScanBytes));
    const QRegularExpressionMatch m = meta.match(head);
    return m.hasMatch() ? m.captured(1).toLatin1().toLower() : QByteArray();
}

DecodedScript decodeScript(const QByteArray& bytes, const QByteArray& declaredCharset) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {bytes.mid(3), "UTF-8"};
    if (bytes.startsWith("\xFF\xFE"))
        return {toUtf8(bytes, "UTF-16LE"), "UTF-16LE"};
    if (bytes.startsWith("\xFE\xFF"))
        return {toUtf8(bytes, "UTF-16BE"), "UTF-16BE"};
    if (isValidUtf8(bytes))
        return {bytes, "UTF-8"};

    // As browsers do, a UTF-16 label on a body that cannot be UTF-16 stands for UTF-8;
    // the body is no valid UTF-8 here, so the next hint decides. A <meta> that could be
    // read as ASCII is never in a UTF-16 page.
    const QByteArray meta = htmlMetaCharset(bytes);
    for (const QByteArray& declared : {declaredCharset, meta}) {
        const QByteArray name = codecName(declared);
        if (name.isEmpty() || (isUtf16Label(name) && (&declared == &meta || !mayBeUtf16(bytes))))
            continue;
        QStringDecoder probe(name.constData());
        if (probe.isValid())
            return {toUtf8(bytes, name.constData()), name};
    }
    return {toUtf8(bytes, "GBK"), "GBK"};
}

QString Utf8Decode(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (text.startsWith(QChar(0xFEFF))) // a leading mark is not part of the text
        text.remove(0, 1);
    return text;
}
