#pragma once
// A tree view of a ValueTreeModel as the inspector and the console.dir window show it:
// a double click (or Enter) loads a "more" row's page, reads a getter and opens its
// value, or folds and unfolds a row.

#include <QTreeView>

class ValueTreeModel;

class ValueTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit ValueTreeView(QWidget* parent = nullptr);

    // The model to show; the view does not own it.
    void setValueModel(ValueTreeModel* model);
    ValueTreeModel* valueModel() const { return m_model; }

private:
    void onActivated(const QModelIndex& index);

    ValueTreeModel* m_model = nullptr;
};
