#include "desktop/InfoTexts.h"

#include <QStringList>

namespace {
QString spaces(int count) {
    return QString(count, QLatin1Char(' '));
}
} // namespace

QString aboutNotes() {
    // Eight lines of text with an empty line between each two; the last is pushed to the
    // right by its spaces.
    const QString indent = spaces(11);
    return QStringList{
        indent + QStringLiteral("版本号：1.9 "),
        indent + QStringLiteral("1.修复一些小错误"),
        indent + QStringLiteral("2.完善JS速查手册，方便查询"),
        indent + QStringLiteral("3.美化界面,增加匹配括号高亮"),
        indent + QStringLiteral("4.增加JS压缩功能避免复制后进去的JS过长"),
        indent + QStringLiteral("5.增加常用编码的解码功能(U码，URL，UTF8，base64)") + indent,
        indent + QStringLiteral("注：对象查看功能致谢林川 周野 特此留名"),
        spaces(93) + QStringLiteral("Marlo-2014.21.58"),
    }
        .join(QStringLiteral("\r\n\r\n"));
}

QString contactGreeting() {
    // Centred by the window's label, not by leading spaces.
    return QStringList{
        QStringLiteral("有好的建议？"),
        QStringLiteral("有好的想法？"),
        QStringLiteral("发现BUG？"),
        QStringLiteral("捐助作者？"),
        QString(),
        QStringLiteral("Vexo在此恭候大家"),
    }
        .join(QStringLiteral("\r\n"));
}

QString contactAddress() {
    return QStringLiteral("https://wpa.qq.com/msgrd?v=3&uin=") + QLatin1String(kContactNumber) +
           QStringLiteral("&site=JS&menu=yes");
}

QString shownLines(QString text) {
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    return text;
}
