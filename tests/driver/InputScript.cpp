#include "InputScript.h"

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "shell/ReadSaveCommands.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>

#include <cstdio>

std::unique_ptr<InputScript> InputScript::fromEnvironment(MainWindow& window) {
    const QString path = qEnvironmentVariable("VEXOJS_INPUT_SCRIPT");
    if (path.isEmpty())
        return nullptr;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    const QString text = QString::fromUtf8(file.readAll());
    return std::make_unique<InputScript>(window, text.split(QLatin1Char('\n')));
}

InputScript::InputScript(MainWindow& window, QStringList steps)
    : m_window(window), m_steps(std::move(steps)) {
    for (const QString& line : m_steps)
        if (line.startsWith(QLatin1String("answer ")))
            m_answer = line.mid(7);
    if (!m_answer.isEmpty()) {
        m_answerPoll.setInterval(20);
        connect(&m_answerPoll, &QTimer::timeout, this, &InputScript::answerBoxes);
        m_answerPoll.start();
    }
}

void InputScript::answerBoxes() {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box)
        return;
    for (QAbstractButton* b : box->buttons()) {
        if (b->text() == m_answer) {
            m_answerPoll.stop();
            b->click();
            return;
        }
    }
}

void InputScript::play() {
    for (const QString& line : std::as_const(m_steps)) {
        const qsizetype space = line.indexOf(QLatin1Char(' '));
        step(line.left(space < 0 ? line.size() : space),
             space < 0 ? QString() : line.mid(space + 1));
        QCoreApplication::processEvents();
    }
}

void InputScript::step(const QString& command, const QString& argument) {
    if (command == QLatin1String("tab")) {
        m_window.tabs().setCurrentIndex(argument.toInt());
    } else if (command == QLatin1String("type")) {
        type(argument);
    } else if (command == QLatin1String("open")) {
        m_window.readSaveCommands().openScriptFile(m_window.CurrentEditor(), argument);
    } else if (command == QLatin1String("address")) {
        m_window.readSaveCommands().RememberAddress(argument);
    } else if (command == QLatin1String("geometry")) {
        const QStringList n = argument.split(QLatin1Char(' '));
        if (n.size() == 4)
            m_window.setGeometry(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt());
    } else if (command == QLatin1String("dump")) {
        QFile window(argument + QStringLiteral(".window"));
        if (window.open(QIODevice::WriteOnly)) {
            QStringList lines;
            for (int i = 0; i < EditorTabs::kEditorCount; ++i)
                lines << QStringLiteral("tab ") + m_window.tabs().label(i);
            for (int i = 0; i < m_window.addressBox()->count(); ++i)
                lines << QStringLiteral("address ") + m_window.addressBox()->itemText(i);
            const QRect g = m_window.geometry();
            lines << QStringLiteral("geometry %1 %2 %3 %4")
                         .arg(g.x())
                         .arg(g.y())
                         .arg(g.width())
                         .arg(g.height());
            window.write(lines.join(QLatin1Char('\n')).toUtf8() + '\n');
        }
        for (int i = 0; i < EditorTabs::kEditorCount; ++i) {
            QFile out(argument + QLatin1Char('.') + QString::number(i));
            if (out.open(QIODevice::WriteOnly))
                out.write(m_window.tabs().editor(i)->GetText());
        }
        QFile log(argument + QStringLiteral(".log"));
        if (log.open(QIODevice::WriteOnly))
            log.write(m_window.outputLog().messages().join(QString()).toUtf8());
    } else if (command == QLatin1String("say")) {
        std::printf("%s\n", argument.toUtf8().constData());
        std::fflush(stdout);
    } else if (command == QLatin1String("quit")) {
        m_window.close();
    }
}

void InputScript::type(const QString& text) {
    CodeEditor* editor = m_window.CurrentEditor();
    editor->setFocus();
    auto press = [editor](int key, const QString& chars) {
        QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, chars);
        QCoreApplication::sendEvent(editor, &down);
        QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, chars);
        QCoreApplication::sendEvent(editor, &up);
    };
    QString composed; // non-ASCII text arrives from the input method, not as keys
    auto commit = [&] {
        if (composed.isEmpty())
            return;
        QInputMethodEvent event;
        event.setCommitString(composed);
        QCoreApplication::sendEvent(editor, &event);
        composed.clear();
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text[i];
        if (c.unicode() >= 0x80) {
            composed += c;
            continue;
        }
        commit();
        if (c == QLatin1Char('\\') && i + 1 < text.size()) {
            const QChar next = text[++i];
            if (next == QLatin1Char('n')) {
                press(Qt::Key_Return, QStringLiteral("\r"));
                continue;
            }
            if (next == QLatin1Char('t')) {
                press(Qt::Key_Tab, QStringLiteral("\t"));
                continue;
            }
            c = next;
        }
        press(c.isLetter() ? c.toUpper().unicode() : c.unicode(), QString(c));
    }
    commit();
}
