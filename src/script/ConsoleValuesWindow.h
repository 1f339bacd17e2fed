#pragma once
// "console.dir": the objects the last run gave to console.dir, as a tree each (the
// inspector's tree: one level at a time, getters on request, every read under "停止").
// One window, kept and brought up again by each run that has such values; it does not
// hold up the workbench.

#include "engine/ScriptOutput.h"

#include <QDialog>

#include <vector>

class QLabel;
class ValueTreeModel;
class ValueTreeView;

class ConsoleValuesWindow : public QDialog {
    Q_OBJECT
public:
    explicit ConsoleValuesWindow(QWidget* parent = nullptr);

    // Shows these values in place of the last run's.
    void showValues(const std::vector<OutputValue>& values);
    ValueTreeView* tree() const { return m_tree; }

private:
    QLabel* m_note;
    ValueTreeView* m_tree;
    ValueTreeModel* m_model = nullptr;
};
