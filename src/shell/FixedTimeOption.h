#pragma once
// "固定时间和随机数" in the 工具 menu: when ticked, every load starts the clock of the user's
// code at the chosen moment and draws Math.random() from the chosen seed, so a signature
// can be computed again and compared with the one the browser produced. The choice, the
// seed and the moment are kept in the settings file at once, so they hold in the next run.

#include "engine/VirtualClock.h"

#include "shell/Workspace.h"

#include <QObject>
#include <QString>

#include <optional>

class QAction;

class FixedTimeOption : public QObject {
    Q_OBJECT
public:
    FixedTimeOption(const Workspace& workspace, QString settingsPath);

    QAction* toggleAction() const { return m_toggle; }
    QAction* settingsAction() const { return m_settings; }
    // What the next load uses (nullopt: real time and random).
    std::optional<FixedTime> current() const;
    // Sets seed and start (as the settings dialog does), keeps them and applies them.
    void setValues(const FixedTime& values);

private:
    void apply();
    void store() const;
    void editValues();

    Workspace m_work;
    QString m_settingsPath;
    FixedTime m_values;
    QAction* m_toggle = nullptr;
    QAction* m_settings = nullptr;
};
