#pragma once
// The paused script: its call stack (choosing a frame moves the editor there), the scopes
// of the chosen frame as a tree whose objects open on demand, and "计算表达式" in that
// frame. Shown while a pause lasts; the controller owns it.

#include "debug/DebugTypes.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

class DebugWindow : public QWidget {
    Q_OBJECT
public:
    explicit DebugWindow(QWidget* parent = nullptr);

    void showPause(const PauseInfo& info);
    void clearPause();
    QToolBar* toolBar() const { return m_toolBar; }
    QListWidget* stackList() const { return m_stack; }
    QTreeWidget* scopeTree() const { return m_scopes; }
    QLineEdit* expressionEdit() const { return m_expression; }
    QLabel* resultLabel() const { return m_result; }
    int currentFrame() const;

signals:
    // The editor should show this frame's line (1-based) of the given added text.
    void frameChosen(int source, int line);
    // A value computed in the frame, for the output pane.
    void evaluated(const QString& expression, const QString& text, bool thrown);
    // The user closed the window while the script is held: it goes on.
    void closedWhilePaused();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void chooseFrame(int index);
    void fill(QTreeWidgetItem* item, const QString& objectId);
    void evaluate();

    PauseInfo m_pause;
    int m_generation = 0; // changes whenever the tree is refilled
    QToolBar* m_toolBar;
    QListWidget* m_stack;
    QTreeWidget* m_scopes;
    QLineEdit* m_expression;
    QLabel* m_result;
};
