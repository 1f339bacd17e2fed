#pragma once
// Work kept across runs: at a normal close the six editors' texts with their files, the
// address list, the last file, the recent list, the check box, the search mode and the
// window geometry go to the state folder; the next start puts them back after its usual
// start-up steps. The texts are one checksummed file written atomically (a damaged one
// is set aside, never restored and never overwritten); the rest are settings (QSettings).
// Both files are readable by their owner only. The menu item "关闭时保留工作内容" turns
// keeping off: nothing but that choice is kept then.

#include "shell/Workspace.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <memory>

class BrowserCommands;
class QAction;
class QCheckBox;
class QComboBox;
class QSettings;
class ReadSaveCommands;

// The controls whose state is kept, beside the editors and the window's geometry.
struct SessionControls {
    QComboBox* addressBox;
    QCheckBox* utf8DecodeBox;
    QCheckBox* browserBox;
    QComboBox* searchModeBox;
    BrowserCommands& browser; // the page address and the monitor switch
    ReadSaveCommands& files;  // the last file and the recent list
};

class SessionKeeper : public QObject {
    Q_OBJECT
public:
    SessionKeeper(const Workspace& workspace, const SessionControls& controls, QString directory);
    ~SessionKeeper() override;

    QString textsPath() const;
    QString settingsPath() const;
    bool enabled() const;
    QAction* keepAction() const { return m_keepAction; }

    // Once the window shows its start-up state: puts the kept state back; one pane line
    // when editors came back, one when the kept texts were damaged.
    void restore();
    // At a normal close. False (with the reason in *error) when the texts could not be
    // written: the caller then keeps the recovery copy, so nothing typed is lost.
    bool save(QString* error = nullptr);

private:
    std::unique_ptr<QSettings> openSettings() const;
    void restoreTexts();

    Workspace m_work;
    SessionControls m_controls;
    QString m_directory;
    QAction* m_keepAction = nullptr;
    // The texts as start-up leaves them; when they are all still so, nothing needs keeping.
    QList<QByteArray> m_startTexts;
};
