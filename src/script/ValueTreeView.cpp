#include "script/ValueTreeView.h"

#include "script/ValueTreeModel.h"

#include <QHeaderView>

ValueTreeView::ValueTreeView(QWidget* parent) : QTreeView(parent) {
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    header()->setStretchLastSection(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    // A double click is an activation, handled below once (the tree would otherwise also
    // fold the row it just opened).
    setExpandsOnDoubleClick(false);
    connect(this, &QTreeView::activated, this, &ValueTreeView::onActivated);
}

void ValueTreeView::setValueModel(ValueTreeModel* model) {
    m_model = model;
    setModel(model);
    header()->resizeSection(0, 180);
}

void ValueTreeView::onActivated(const QModelIndex& index) {
    if (!m_model)
        return;
    const QModelIndex row = index.siblingAtColumn(0);
    const int kind = m_model->data(row, ValueTreeModel::KindRole).toInt();
    if (kind == ValueTreeModel::More) {
        m_model->activate(row); // the row itself gives way to the page it loads
        return;
    }
    // A getter is read and its row opened on the value.
    if (m_model->activate(row)) {
        expand(row);
        return;
    }
    if (m_model->hasChildren(row))
        setExpanded(row, !isExpanded(row));
}
