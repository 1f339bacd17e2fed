#pragma once
// Which characters make up JavaScript names, as far as our small scanners need to know:
// letters of any script, "_", "$", escapes and astral characters (surrogates).

#include <QChar>

inline bool isJsIdStart(QChar c) {
    return c.isLetter() || c == QLatin1Char('_') || c == QLatin1Char('$') ||
           c == QLatin1Char('\\') || c.isHighSurrogate();
}

inline bool isJsIdPart(QChar c) {
    return isJsIdStart(c) || c.isDigit() || c.isLowSurrogate() || c.isMark() ||
           c == QChar(0x200C) || c == QChar(0x200D);
}
