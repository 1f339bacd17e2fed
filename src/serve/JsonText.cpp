#include "serve/JsonText.h"

namespace {
void appendEscape(QString& out, char16_t u) {
    out += QLatin1String("\\u") + QString::number(unsigned(u), 16).rightJustified(4, u'0');
}

QString quoted(QStringView text) {
    QString out;
    out.reserve(text.size() + 2);
    out += u'"';
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        switch (u) {
        case u'"':
            out += QLatin1String("\\\"");
            continue;
        case u'\\':
            out += QLatin1String("\\\\");
            continue;
        case u'\n':
            out += QLatin1String("\\n");
            continue;
        case u'\r':
            out += QLatin1String("\\r");
            continue;
        case u'\t':
            out += QLatin1String("\\t");
            continue;
        default:
            break;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            out += text[i];
            out += text[++i];
        } else if (u < 0x20 || QChar::isSurrogate(u) || u == 0x2028 || u == 0x2029) {
            appendEscape(out, u);
        } else {
            out += QChar(u);
        }
    }
    out += u'"';
    return out;
}
} // namespace

QByteArray jsonQuote(QStringView text) {
    return quoted(text).toUtf8();
}
