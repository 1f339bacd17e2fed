#pragma once
// The program-wide objects, created once at start-up in a fixed order and destroyed by
// one teardown at exit, each exactly once.

#include "script/ProcedureList.h"
#include "script/ScriptHost.h"

#include <QString>

#include <memory>

class ScriptObject;

// The latest release as the update endpoint describes it.
struct UpdateInfo {
    float version = 0.0f;
    QString versionText;
    QString details;
    QString updateTime;
    QString download;
    QString thanks;
    QString firstDownload; // the address the update button opens
};

// The tray icon's owner and its menus; filled by the desktop services.
struct TrayState {
    void* window = nullptr;
    void* leftClickMenu = nullptr;
    void* rightClickMenu = nullptr;
};

// What the tray icon shows.
struct TrayIconRecord {
    int id = 0;
    int callbackMessage = 0;
    QString tip;
    QString balloonText;
    QString balloonTitle;
};

class GlobalObjects {
public:
    // Creates the objects in order; the main engine is created at once.
    GlobalObjects();
    ~GlobalObjects() { teardown(); }
    GlobalObjects(const GlobalObjects&) = delete;
    GlobalObjects& operator=(const GlobalObjects&) = delete;

    // Destroys everything in the fixed order; later calls do nothing.
    void teardown();

    UpdateInfo& updateInfo() { return *m_updateInfo; }
    ProcedureList& procedures() { return *m_procedures; }
    TrayState& trayState() { return *m_trayState; }
    TrayIconRecord& trayIcon() { return *m_trayIcon; }
    ScriptHost& mainHost() { return *m_mainHost; }

    // The last object result of an evaluation; replacing it releases the old one.
    const std::shared_ptr<ScriptObject>& inspectedObject() const { return *m_inspectedObject; }
    void setInspectedObject(std::shared_ptr<ScriptObject> object) {
        *m_inspectedObject = std::move(object);
    }

    // 1 once a load has reached the main engine, 0 at start and after a failed load.
    int codeLoaded = 0;

private:
    std::unique_ptr<UpdateInfo> m_updateInfo;
    std::unique_ptr<ProcedureList> m_procedures;
    std::unique_ptr<TrayState> m_trayState;
    std::unique_ptr<TrayIconRecord> m_trayIcon;
    std::unique_ptr<ScriptHost> m_mainHost;
    std::unique_ptr<std::shared_ptr<ScriptObject>> m_inspectedObject;
};
