#include "script/BasicEnvironment.h"

#include "engine/ScriptRuntime.h"
#include "tools/CarriedScripts.h"

QString BasicEnvironment::url() {
    return QStringLiteral("vexo:environment");
}

JSValueRef BasicEnvironment::install(ScriptRuntime& runtime) {
    return runtime.runPrelude(CarriedScripts::environment(), url());
}
