#pragma once
// "浏览器环境" as a part of the user's code's environment: the browser-shaped global
// (the carried script env/, run after the console and timers), its host pieces (SHA
// digests for crypto.subtle.digest, the access record), then the user's environment code.
// With "环境监控" on, the global object is of a class that sees every name looked up on
// it, so a bare name the page's script reads that does not exist is recorded too.

#include "browser/AccessRecord.h"
#include "browser/BrowserOptions.h"
#include "engine/EnvironmentPart.h"

#include <memory>

class BrowserEnvironment : public EnvironmentPart {
public:
    // record: where accesses go when options.monitor is on (may be null otherwise).
    BrowserEnvironment(BrowserOptions options, std::shared_ptr<AccessRecord> record);

    JSClassRef globalClass() const override;
    JSValueRef install(ScriptRuntime& runtime) override;

    // The carried environment script (compiled in).
    static QString script();
    // Source addresses: the environment's own code and the user's environment code.
    static QString scriptUrl() { return QStringLiteral("vexo:browser"); }
    static QString environmentCodeUrl() { return QStringLiteral("vexo:env"); }

private:
    BrowserOptions m_options;
    std::shared_ptr<AccessRecord> m_record;
};

// The parts for the options: none when "浏览器环境" is off.
Environment browserEnvironment(const BrowserOptions& options, std::shared_ptr<AccessRecord> record);
