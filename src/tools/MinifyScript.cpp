#include "tools/MinifyScript.h"

ToolResult MinifyScript(const QString& source) {
    return callCarried(CarriedScripts::minifier(), QStringLiteral("jsmin"),
                       {Variant::fromString({}), Variant::fromString(source), Variant::fromInt(2)},
                       QStringLiteral("压缩程序没有返回文本"));
}

QString dropEmptyFirstLine(const QString& minified) {
    if (minified.startsWith(QLatin1String("\r\n")))
        return minified.mid(2);
    if (minified.startsWith(QLatin1Char('\n')) || minified.startsWith(QLatin1Char('\r')))
        return minified.mid(1);
    return minified;
}
