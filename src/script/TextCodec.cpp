#include "script/TextCodec.h"

#include <QStringDecoder>
#include <QStringEncoder>

std::optional<QString> decodeBytes(const QByteArray& bytes, const char* encoding) {
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

std::optional<QByteArray> encodeText(const QString& text, const char* encoding) {
    QStringEncoder encoder(encoding, QStringEncoder::Flag::Stateless);
    if (!encoder.isValid())
        return std::nullopt;
    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError())
        return std::nullopt;
    return bytes;
}

QByteArray convertEncoding(const QByteArray& bytes, const char* from, const char* to) {
    const auto text = decodeBytes(bytes, from);
    if (!text)
        return {};
    return encodeText(*text, to).value_or(QByteArray());
}

QString bytesAsText(const QByteArray& bytes) {
    constexpr auto flags =
        QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom;
    QStringDecoder utf8(QStringDecoder::Utf8, flags);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QStringDecoder gbk("GBK", flags);
    return gbk.decode(bytes);
}
