#pragma once
// "检测到比现行版本更新的版本哦 亲": the newer version, its download addresses, changes,
// date and remark; one button opens the first address, the other closes the window.

#include <QDialog>

#include <functional>

class Dialogs;
class QPlainTextEdit;
class QPushButton;
struct UpdateInfo;

class UpdateWindow : public QDialog {
    Q_OBJECT
public:
    UpdateWindow(const UpdateInfo& info, Dialogs& dialogs, QWidget* parent = nullptr);

    QPlainTextEdit* textBox() const { return m_text; }
    QPushButton* updateButton() const { return m_update; }
    QPushButton* noButton() const { return m_no; }

private:
    void onUpdateClicked();

    const UpdateInfo& m_info;
    Dialogs& m_dialogs;
    QPlainTextEdit* m_text = nullptr;
    QPushButton* m_update = nullptr;
    QPushButton* m_no = nullptr;
};
