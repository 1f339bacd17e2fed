#pragma once
// A file of input steps played into the running window of the test driver, named by the environment
// variable VEXOJS_INPUT_SCRIPT. The process tests use it to type into the real editors
// of a real workbench (keys and input-method text, as a user's typing arrives), answer
// its boxes and read back what the editors hold. One step per line:
//
//   answer CAPTION   click the button CAPTION in the next message box that shows
//   tab N            select page N
//   type TEXT        type TEXT into the current editor (\n Enter, \t Tab, \\ backslash)
//   open PATH        open the file PATH into the current editor, as "打开" does
//   address TEXT     add TEXT to the address list, as a successful "读取JS" does
//   geometry X Y W H place the window
//   dump PATH        write editor i's bytes to PATH.i, the output pane to PATH.log and
//                    the tab names, the address list and the geometry to PATH.window
//   say TEXT         print TEXT as one line on standard output
//   quit             close the window (a normal exit)

#include <QObject>
#include <QStringList>
#include <QTimer>

#include <memory>

class MainWindow;

class InputScript : public QObject {
    Q_OBJECT
public:
    // nullptr when the variable is unset or its file unreadable.
    static std::unique_ptr<InputScript> fromEnvironment(MainWindow& window);
    InputScript(MainWindow& window, QStringList steps);

    // Runs every step but "answer" (armed from construction on) in order.
    void play();

private:
    void step(const QString& command, const QString& argument);
    void type(const QString& text);
    void answerBoxes();

    MainWindow& m_window;
    QStringList m_steps;
    QString m_answer;
    QTimer m_answerPoll;
};
