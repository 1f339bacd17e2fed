#pragma once
// "对象查看器DEMO": shows one object three ways at once: a tree of the value on the left
// (expanded one level at a time, see ValueTreeModel), and on the right its member listing
// above its elements read as an array. The listings are filled once when created. A list
// row shows at most the first 2,000 characters of its element; the item's Qt::UserRole
// holds the whole text. The frames are laid out by layouts and share the window's room.

#include <QDialog>

#include <memory>

class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class QTreeView;
class ScriptObject;
class ValueTreeModel;
class ValueTreeView;

class InspectorWindow : public QDialog {
    Q_OBJECT
public:
    explicit InspectorWindow(std::shared_ptr<ScriptObject> object, QWidget* parent = nullptr);

    QTreeView* tree() const;
    ValueTreeModel* treeModel() const { return m_model; }

private:
    void fillArrayList(const QStringList& items);

    QGroupBox* m_treeBox;
    ValueTreeView* m_tree;
    ValueTreeModel* m_model;
    QGroupBox* m_memberBox;
    QPlainTextEdit* m_memberText;
    QGroupBox* m_arrayBox;
    QListWidget* m_arrayList;
};
