#include "tools/ByteDecoders.h"

#include <QStringEncoder>

#include <array>

namespace {
// The value of a hexadecimal digit, either case; -2 for any other byte.
int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -2;
}

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::array<int, 256> alphabetIndex() {
    std::array<int, 256> index;
    index.fill(-1);
    for (int i = 0; i < 64; ++i)
        index[static_cast<unsigned char>(kAlphabet[i])] = i;
    return index;
}

// Spaces and line breaks carry nothing in Base64 text. A text box here hands over LF
// line ends, files may have CR LF; a lone CR is left to count as a stray character.
QByteArray withoutSpacesAndBreaks(const QByteArray& text) {
    QByteArray kept(text.size(), Qt::Uninitialized);
    char* k = kept.data();
    const char* p = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = p[i];
        if (c == ' ' || c == '\n')
            continue;
        if (c == '\r' && i + 1 < n && p[i + 1] == '\n')
            continue;
        // The full-width space, U+3000, in UTF-8.
        if (c == '\xE3' && i + 2 < n && p[i + 1] == '\x80' && p[i + 2] == '\x80') {
            i += 2;
            continue;
        }
        *k++ = c;
    }
    kept.truncate(k - kept.constData());
    return kept;
}
} // namespace

QByteArray UrlDecode(const QByteArray& text) {
    QByteArray out;
    out.reserve(text.size());
    const qsizetype n = text.size();
    qsizetype p = 0;
    while (p < n) {
        if (text[p] != '%') {
            out.append(text[p++]);
            continue;
        }
        if (p + 1 >= n)
            break; // a final "%" escapes nothing
        const int high = hexValue(text[p + 1]);
        const int low = p + 2 < n ? hexValue(text[p + 2]) : 0;
        p += 3;
        out.append(static_cast<char>((16 * high + low) & 0xFF));
    }
    return out;
}

QByteArray Base64Decode(const QByteArray& input) {
    static const std::array<int, 256> index = alphabetIndex();
    const QByteArray text = withoutSpacesAndBreaks(input);
    const auto* in = reinterpret_cast<const unsigned char*>(text.constData());
    const qsizetype length = text.size();
    const qsizetype groups = (length + 3) / 4;
    QByteArray out(groups * 3, Qt::Uninitialized);
    char* o = out.data();
    // The slots keep their values from one group to the next: a group whose filling
    // stops early computes its bytes with what the earlier group left there.
    std::array<quint8, 4> q{0, 0, 0, 0};
    int endSlot = 0; // 1-4: the last group's first slot without an alphabet character
    for (qsizetype g = 0; g < groups; ++g) {
        endSlot = 0;
        for (int j = 0; j < 4; ++j) {
            const qsizetype pos = 4 * g + j;
            if (pos >= length) {
                q[j] = 0;
                if (endSlot == 0)
                    endSlot = j + 1;
                continue;
            }
            const int value = index[in[pos]];
            if (value < 0) {
                q[j] = in[pos];
                endSlot = j + 1;
                break;
            }
            q[j] = quint8(value);
        }
        *o++ = static_cast<char>((q[0] << 2 | q[1] >> 4) & 0xFF);
        *o++ = static_cast<char>((q[1] << 4 | q[2] >> 2) & 0xFF);
        *o++ = static_cast<char>((q[2] << 6 | q[3]) & 0xFF);
    }
    if (endSlot > 0)
        out.chop(std::min<qsizetype>(5 - endSlot, out.size()));
    return out;
}

QString Utf8DecodeText(const QString& text) {
    QStringEncoder toGbk("GBK", QStringEncoder::Flag::Stateless);
    const QByteArray bytes = toGbk.encode(text);
    return QString::fromUtf8(bytes);
}
