#pragma once
// "对象查看器DEMO": shows one object two ways at once, its members on the left and its
// elements (read as an array) on the right. Filled once when created; nothing in it acts.
// A list row shows at most the first 2,000 characters of its element; the item's
// Qt::UserRole holds the whole text.

#include <QDialog>

#include <memory>

class QGroupBox;
class QListWidget;
class QPlainTextEdit;
class ScriptObject;

class InspectorWindow : public QDialog {
    Q_OBJECT
public:
    explicit InspectorWindow(std::shared_ptr<ScriptObject> object, QWidget* parent = nullptr);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void fillArrayList(const QStringList& items);

    QGroupBox* m_memberBox;
    QPlainTextEdit* m_memberText;
    QGroupBox* m_arrayBox;
    QListWidget* m_arrayList;
};
