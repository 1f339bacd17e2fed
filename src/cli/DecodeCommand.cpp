#include "cli/DecodeCommand.h"

#include "cli/CliIo.h"
#include "cli/Options.h"
#include "tools/Decode.h"

#include <cstdio>

int runDecodeCommand(const QStringList& args) {
    const auto kind = args.isEmpty() ? std::nullopt : decodeKindFromName(args.first());
    if (!kind || args.size() > 2 ||
        (args.size() == 2 && args[1] != QLatin1String("-") && args[1].startsWith(u'-'))) {
        printError(QStringLiteral("用法: vexojs-cli decode usc|utf8|url|base64 [文件|-]"));
        return kUsageError;
    }
    const auto input = readInput(args.size() == 2 ? args[1] : QStringLiteral("-"));
    if (!input)
        return kUsageError;
    const DecodeResult result = Decode(*kind, *input);
    if (!result.ok) {
        printError(QStringLiteral("vexojs-cli decode: ") + result.error);
        return 1;
    }
    // The decoded bytes as they are: a NUL or a byte that is not UTF-8 is the user's data.
    std::fwrite(result.bytes.constData(), 1, size_t(result.bytes.size()), stdout);
    std::fflush(stdout);
    return 0;
}
