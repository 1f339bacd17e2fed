#include "cli/Options.h"

#include "cli/CliIo.h"

bool parseTimeout(const QString& text, double& seconds) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !(value > 0.0)) {
        printError(QStringLiteral("vexojs-cli: --timeout 需要一个正数（秒），而不是 %1").arg(text));
        return false;
    }
    seconds = value;
    return true;
}

bool parseLineLimit(const QString& text, qsizetype& limit) {
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < 1) {
        printError(
            QStringLiteral("vexojs-cli: --max-line 需要一个正整数（字符数），而不是 %1").arg(text));
        return false;
    }
    limit = qsizetype(value);
    return true;
}
