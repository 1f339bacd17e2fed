#pragma once
// The replace bar: "替换为" with its box, "上一个", "下一个", "替换", "全部替换" and a close
// button, in a small frame over the top right corner of the editors (Ctrl+H shows it,
// Escape or "×" hides it). It only holds the controls; SearchRow does the work.

#include <QFrame>

class QLineEdit;
class QToolButton;
class QPushButton;

class ReplaceBar : public QFrame {
    Q_OBJECT
public:
    // Placed over `area` (the editors' tab set), which also becomes its parent.
    explicit ReplaceBar(QWidget* area);

    QLineEdit* replacementBox() const { return m_replacement; }
    QPushButton* previousButton() const { return m_previous; }
    QPushButton* nextButton() const { return m_next; }
    QPushButton* replaceButton() const { return m_replace; }
    QPushButton* replaceAllButton() const { return m_replaceAll; }

    // Shows the bar at its place with the focus in the replacement box.
    void open();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void place();

    QLineEdit* m_replacement;
    QPushButton* m_previous;
    QPushButton* m_next;
    QPushButton* m_replace;
    QPushButton* m_replaceAll;
    QToolButton* m_close;
};
