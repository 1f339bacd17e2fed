#pragma once
// How the window waits for the script thread: briefly in a local loop that takes no
// input, then, after about 300 ms, behind a modal "脚本运行中…" box whose "停止" button
// ends the script.

#include "engine/ScriptThread.h"

#include <initializer_list>

class QDialog;
class QPushButton;
class QString;
class QWidget;

// The frame the waiting boxes share: a modal box named `name`, the given widgets one
// under the other, and a "停止" button at the bottom right, which it returns.
QPushButton* buildBusyBox(QDialog& box, const QString& name, const QString& title,
                          std::initializer_list<QWidget*> content, int minimumWidth);

class ScriptBusyBox : public ScriptWaiter {
public:
    static constexpr int kDelayMs = 300;

    explicit ScriptBusyBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void wait(ScriptJob& job) override;

private:
    QWidget* m_parent;
};
