#pragma once
// "环境记录": the access record of the latest loads with "环境监控" on, newest run first,
// each run's entries in order of first use; "只看缺失" keeps the names that were not
// there, and "补到环境代码" writes stubs for the chosen missing entries into the user's
// environment code.

#include "browser/AccessRecord.h"

#include <QDialog>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;
class QTimer;

class AccessRecordWindow : public QDialog {
    Q_OBJECT
public:
    AccessRecordWindow(std::shared_ptr<AccessRecord> record, QWidget* parent = nullptr);

    // Called with the stubs for the chosen missing paths; returns the pane's text.
    void setAddStubs(std::function<void(const QStringList&)> add) { m_addStubs = std::move(add); }
    // Shows the record as it is now (also done by a timer while the window is shown).
    void refresh();

    QComboBox* runBox() const { return m_runs; }
    QCheckBox* missingOnlyBox() const { return m_missingOnly; }
    QTableWidget* table() const { return m_table; }
    QPushButton* stubButton() const { return m_stubButton; }
    QLabel* statusLabel() const { return m_status; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void showRun();
    void addStubs();

    std::shared_ptr<AccessRecord> m_record;
    QList<AccessRun> m_shown;
    quint64 m_version = ~quint64(0);
    QComboBox* m_runs = nullptr;
    QCheckBox* m_missingOnly = nullptr;
    QTableWidget* m_table = nullptr;
    QPushButton* m_stubButton = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_timer = nullptr;
    std::function<void(const QStringList&)> m_addStubs;
};
