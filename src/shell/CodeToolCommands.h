#pragma once
// "格式化", "eval解密" and "压缩" on the current editor. A failed tool keeps the editor's
// text and says why in the output pane.

#include "shell/Workspace.h"

#include <QObject>

class DeobHistoryWindow;
class QPushButton;

struct CodeToolButtons {
    QPushButton* format;
    QPushButton* unpack;
    QPushButton* minify;
};

class CodeToolCommands : public QObject {
    Q_OBJECT
public:
    CodeToolCommands(const Workspace& workspace, const CodeToolButtons& buttons);

    void onFormatClicked();
    void onUnpackClicked();
    void onMinifyClicked();
    // "工具(&T)" → "解密记录": the layers of the last "eval解密".
    void onHistoryTriggered();
    DeobHistoryWindow* historyWindow() const { return m_history; }

private:
    Workspace m_work;
    DeobHistoryWindow* m_history = nullptr; // a child of the window
};
