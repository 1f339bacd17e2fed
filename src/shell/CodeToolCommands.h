#pragma once
// "格式化", "eval解密" and "压缩" on the current editor. A failed tool keeps the editor's
// text and says why in the output pane.

#include <QObject>

class MainWindow;

class CodeToolCommands : public QObject {
    Q_OBJECT
public:
    explicit CodeToolCommands(MainWindow& window);

    void onFormatClicked();
    void onUnpackClicked();
    void onMinifyClicked();

private:
    MainWindow& m_window;
};
