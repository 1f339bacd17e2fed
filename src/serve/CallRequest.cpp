#include "serve/CallRequest.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QRegularExpression>
#include <QStringList>

RequestCheck checkCallRequest(CallRequest::Kind kind, const QByteArray& body) {
    RequestCheck check;
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError) {
        check.reason = QStringLiteral("请求体不是有效的 JSON（第 %1 字节：%2）")
                           .arg(error.offset)
                           .arg(error.errorString());
        return check;
    }
    if (!document.isObject()) {
        check.reason = QStringLiteral("请求体须是一个 JSON 对象");
        return check;
    }
    const QJsonObject object = document.object();
    CallRequest request;
    request.kind = kind;
    if (kind == CallRequest::Eval) {
        const QJsonValue expression = object.value(QLatin1String("expression"));
        if (!expression.isString()) {
            check.reason = QStringLiteral("缺少 \"expression\"（要计算的表达式，文本）");
            return check;
        }
        request.expression = expression.toString();
    } else {
        const QJsonValue function = object.value(QLatin1String("function"));
        if (!function.isString() || function.toString().isEmpty()) {
            check.reason = QStringLiteral("缺少 \"function\"（函数名，文本）");
            return check;
        }
        const QJsonValue args = object.value(QLatin1String("args"));
        if (!args.isUndefined() && !args.isArray()) {
            check.reason = QStringLiteral("\"args\" 须是数组");
            return check;
        }
        request.function = function.toString();
        request.hasArgs = args.isArray();
        request.body = body;
    }
    check.request = std::move(request);
    return check;
}

std::optional<QStringList> functionPath(const QString& function) {
    static const QRegularExpression identifier(QStringLiteral("^[\\p{L}_$][\\p{L}\\p{N}_$]*$"));
    const QStringList names = function.split(QLatin1Char('.'));
    for (const QString& name : names)
        if (!identifier.match(name).hasMatch())
            return std::nullopt;
    return names;
}
