#include "desktop/UpdateFetch.h"

#include "desktop/UpdateCheck.h"

namespace {
const char kUpdateAddress[] = "https://update.vexojs.org/version.txt";
} // namespace

QString updateAddress() {
    const QString fromEnvironment = qEnvironmentVariable("VEXOJS_UPDATE_URL");
    return fromEnvironment.isEmpty() ? QString::fromLatin1(kUpdateAddress) : fromEnvironment;
}

void limitToUpdateRecord(HttpFetch& reader) {
    reader.setMaxBytes(kMaxUpdateRecordBytes);
}
