#include "tools/UnescapeText.h"

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"

QString quotedLiteralBody(const QString& text) {
    QString body;
    body.reserve(text.size() + text.size() / 8 + 2);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c == u'\\') {
            if (i + 1 == n) {
                body += QLatin1String("\\\\");
                break;
            }
            // An escape pair is the user's; a backslash before CR LF continues the line.
            const qsizetype pairEnd =
                (text[i + 1] == u'\r' && i + 2 < n && text[i + 2] == u'\n') ? i + 2 : i + 1;
            body += QStringView(text).mid(i, pairEnd - i + 1);
            i = pairEnd;
        } else if (c == u'\'') {
            body += QLatin1String("\\'");
        } else if (c == u'\n') {
            body += QLatin1String("\\n");
        } else if (c == u'\r') {
            body += QLatin1String("\\r");
        } else {
            body += c;
        }
    }
    return body;
}

ToolResult UnescapeText(const QString& text) {
    const QString expression =
        QStringLiteral("unescape('") + quotedLiteralBody(text) + QStringLiteral("')");
    ToolResult result;
    ScriptThread::instance().call([&] {
        ScriptEngine engine(QStringLiteral("MSScriptControl.ScriptControl"));
        engine.setLanguage(QStringLiteral("JavaScript"));
        const Variant value = engine.eval(expression);
        if (engine.error().number != 0)
            result = ToolResult::failure(engine.error().description);
        else
            result =
                ToolResult::success(value.vt() == Variant::BStr ? value.stringValue() : QString());
    });
    return result;
}
