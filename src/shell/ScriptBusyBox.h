#pragma once
// How the window waits for the script thread: briefly in a local loop that takes no
// input, then, after about 300 ms, behind a modal "脚本运行中…" box whose "停止" button
// ends the script.

#include "script/ScriptThread.h"

class QWidget;

class ScriptBusyBox : public ScriptWaiter {
public:
    static constexpr int kDelayMs = 300;

    explicit ScriptBusyBox(QWidget* parent = nullptr) : m_parent(parent) {}
    void wait(ScriptJob& job) override;

private:
    QWidget* m_parent;
};
