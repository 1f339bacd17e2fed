#pragma once
// "复制JS" and "生成E代码": the current script, or an E-language subroutine for the
// expression in the evaluation box, onto the clipboard, confirmed by a message box.

#include "shell/Workspace.h"

#include <QObject>

class QLineEdit;
class QPushButton;

class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    ClipboardCommands(const Workspace& workspace, QPushButton* copy, QPushButton* snippet,
                      QLineEdit* expression);

    void onCopyClicked();
    void onMakeSnippetClicked();

private:
    Workspace m_work;
    QLineEdit* m_expression;
};
