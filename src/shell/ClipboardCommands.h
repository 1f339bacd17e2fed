#pragma once
// "复制JS" and "生成E代码": the current script, or an E-language subroutine for the
// expression in the evaluation box, onto the clipboard, confirmed by a message box.

#include <QObject>

class MainWindow;

class ClipboardCommands : public QObject {
    Q_OBJECT
public:
    explicit ClipboardCommands(MainWindow& window);

    void onCopyClicked();
    void onMakeSnippetClicked();

private:
    MainWindow& m_window;
};
