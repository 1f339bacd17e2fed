#include "tools/FormatScript.h"

QString fixLineBreaks(QString formatted) {
    formatted.replace(QLatin1String("\n    "), QLatin1String("\r\n"));
    return formatted;
}

ToolResult FormatScript(const QString& source) {
    const QString none;
    ToolResult r = callCarried(CarriedScripts::beautifier(), QStringLiteral("format"),
                               {Variant::fromString(source), Variant::fromString(none),
                                Variant::fromString(none), Variant::fromString(none),
                                Variant::fromString(none)},
                               QStringLiteral("格式化程序没有返回文本"));
    if (r.ok)
        r.text = fixLineBreaks(std::move(r.text));
    return r;
}
