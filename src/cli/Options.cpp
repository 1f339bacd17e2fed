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
