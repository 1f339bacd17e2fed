#include "desktop/UpdateCheck.h"

#include "desktop/JsonReader.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/TextCodec.h"

#include <QUrl>

#include <cmath>

namespace {
UpdateCheckResult failure(const QString& reason) {
    return {UpdateCheckResult::Failed, reason};
}

UpdateCheckResult readRecord(const QString& text, float running, UpdateInfo& info);

bool stopped() {
    return ScriptThread::instance().stopRequested();
}

// Every element of the array at the path, each followed by CR LF; cut short by "停止".
QString listAt(JsonReader& reader, const QString& path) {
    QString lines;
    const int count = reader.ArrayLength(path);
    for (int i = 0; i < count && !stopped(); ++i)
        lines +=
            reader.Value(path + QStringLiteral("[%1]").arg(i)).toText() + QStringLiteral("\r\n");
    return lines;
}
} // namespace

bool isNewerVersion(float candidate, float running) {
    return candidate > running;
}

QString formatVersion(float version) {
    return QString::asprintf("%.2f", double(version));
}

QString recordText(const QByteArray& body) {
    if (auto text = decodeBytes(body, "UTF-8"))
        return *text;
    if (auto text = decodeBytes(body, "GBK"))
        return *text;
    return QString::fromLatin1(body);
}

UpdateCheckResult ReadUpdateRecord(const QString& text, float running, UpdateInfo& info) {
    if (text.size() > kMaxUpdateRecordBytes)
        return failure(QStringLiteral("更新信息超过 %1 MiB 上限").arg(kMaxUpdateRecordBytes >> 20));
    // All of it is one job on the script thread: the window waits behind the busy box
    // with its "停止" instead of taking a turn of the event loop per list element.
    UpdateCheckResult result;
    UpdateInfo read = info;
    ScriptThread::instance().call([&] { result = readRecord(text, running, read); });
    if (result.outcome != UpdateCheckResult::Failed)
        info = read;
    return result;
}

namespace {
UpdateCheckResult readRecord(const QString& text, float running, UpdateInfo& info) {
    JsonReader reader;
    const Variant parsed = reader.Parse(text);
    if (const ScriptError error = reader.error(); error.number != 0)
        return failure(QStringLiteral("更新信息不是有效的JSON（%1）").arg(error.description));
    if (!parsed.isObject())
        return failure(QStringLiteral("更新信息中没有版本号"));

    const Variant versionValue = reader.Value(QStringLiteral("info.version"));
    if (versionValue.vt() == Variant::Empty || versionValue.vt() == Variant::Null)
        return failure(QStringLiteral("更新信息中没有版本号"));
    const QString versionText = versionValue.toText();
    const std::optional<double> number = Variant::fromString(versionText).changeToDouble();
    const float version = number ? float(*number) : 0.0f;
    if (!number || !std::isfinite(version))
        return failure(QStringLiteral("无法识别的版本号“%1”").arg(versionText));

    info.version = version;
    info.versionText = versionText;
    if (!isNewerVersion(version, running))
        return {UpdateCheckResult::Latest, {}};

    info.details = listAt(reader, QStringLiteral("info.details"));
    info.updateTime = reader.Value(QStringLiteral("info.UpdateTime")).toText();
    info.download = listAt(reader, QStringLiteral("info.download"));
    info.thanks = reader.Value(QStringLiteral("info.Thx")).toText();
    info.firstDownload = reader.Value(QStringLiteral("info.download[0]")).toText();
    if (stopped())
        return failure(QStringLiteral("已停止"));
    return {UpdateCheckResult::Newer, {}};
}
} // namespace

QString updateWindowText(const UpdateInfo& info) {
    return QStringLiteral("最新版本:") + formatVersion(info.version) +
           QStringLiteral("\r\n下载地址:\r\n") + info.download +
           QStringLiteral("\r\n更新信息:\r\n") + info.details +
           QStringLiteral("\r\n\r\n最后更新时间:") + info.updateTime +
           QStringLiteral("\r\n额外信息:\r\n") + info.thanks;
}

bool isWebAddress(const QString& address) {
    const QUrl url(address.trimmed(), QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    return url.isValid() && (scheme == QLatin1String("http") || scheme == QLatin1String("https")) &&
           !url.host().isEmpty();
}
