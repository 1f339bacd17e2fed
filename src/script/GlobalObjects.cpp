#include "script/GlobalObjects.h"

#include "engine/ScriptObject.h"
#include "script/ScriptEngine.h"

GlobalObjects::GlobalObjects()
    : m_updateInfo(std::make_unique<UpdateInfo>()), m_procedures(std::make_unique<ProcedureList>()),
      m_trayState(std::make_unique<TrayState>()), m_trayIcon(std::make_unique<TrayIconRecord>()),
      m_mainHost(std::make_unique<ScriptHost>()),
      m_inspectedObject(std::make_unique<std::shared_ptr<ScriptObject>>()) {
    // The main engine is the one the debugger follows.
    m_mainHost->withEngine([](ScriptEngine& e) { e.setDebuggable(true); });
}

void GlobalObjects::teardown() {
    m_updateInfo.reset();
    m_procedures.reset();
    m_trayState.reset();
    m_trayIcon.reset();
    m_mainHost.reset(); // releases the main engine
    m_inspectedObject.reset();
}
