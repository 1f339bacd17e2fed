// libFuzzer entry points (built with clang, -DVEXO_FUZZ=ON). Settings come from the
// environment: VEXO_FUZZ_NODE and VEXO_FUZZ_ACORN for the syntax-tree checks,
// VEXO_FUZZ_FINDINGS to keep going and collect findings in a folder instead of stopping
// at the first, VEXO_FUZZ_STOP_LIMIT (seconds).

#include "FindingLog.h"
#include "FuzzTarget.h"

#include <QCoreApplication>

#include <cstdlib>

namespace {
FuzzTarget* target = nullptr;
FindingLog* findings = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    FuzzSettings settings;
    settings.sourceDir = QStringLiteral(VEXO_SOURCE_DIR);
    settings.node = qEnvironmentVariable("VEXO_FUZZ_NODE");
    settings.acornPrefix = qEnvironmentVariable("VEXO_FUZZ_ACORN", QStringLiteral("/tmp/refjs"));
    if (qEnvironmentVariableIsSet("VEXO_FUZZ_STOP_LIMIT"))
        settings.stopLimitSeconds = qEnvironmentVariable("VEXO_FUZZ_STOP_LIMIT").toDouble();
    const QString folder = qEnvironmentVariable("VEXO_FUZZ_FINDINGS");
    findings = new FindingLog(folder);
    const bool keepGoing = !folder.isEmpty();
    target = new FuzzTarget(
        settings, [keepGoing](const QString& kind, const QString& detail, const QString& input) {
            findings->record(kind, detail, input);
            if (!keepGoing)
                std::abort(); // libFuzzer keeps the input that got here
        });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    target->run(data, size);
    return 0;
}
