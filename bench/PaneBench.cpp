// Times the output pane in the real window (offscreen): "计算表达式" of one huge result
// until its line is painted in the pane, then 100,000 appended lines and scrolling
// through them. Prints one "name ms" line per measurement.
//
//   vexo-pane-bench [EXPONENT] [LINES]   (defaults 20 and 100000: 'x'.repeat(2**20))

#include "editor/CodeEditor.h"
#include "editor/EditorTabs.h"
#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "shell/Dialogs.h"
#include "shell/MainWindow.h"
#include "shell/OutputLog.h"
#include "shell/ScriptBusyBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {
double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}

// Lays out and paints what the pane shows now, as the next expose would.
void paint(OutputLog& pane) {
    QApplication::processEvents();
    pane.viewport()->repaint();
}
} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int exponent = argc > 1 ? std::atoi(argv[1]) : 20;
    const int lines = argc > 2 ? std::atoi(argv[2]) : 100000;
    {
        GlobalObjects globals;
        WidgetDialogs dialogs;
        MainWindow window(globals, dialogs);
        ScriptBusyBox busy(&window);
        ScriptThread::instance().setWaiter(&busy);
        window.show();
        OutputLog& pane = window.outputLog();
        window.loadButton()->click(); // the demonstration script: an engine to evaluate in
        paint(pane);

        QElapsedTimer t;
        t.start();
        window.expressionEdit()->setText(QStringLiteral("'x'.repeat(2**%1)").arg(exponent));
        window.evaluateButton()->click();
        const double evaluated = ms(t);
        paint(pane);
        std::printf("huge_result %.1f (evaluation and append %.1f, paint %.1f; message %lld "
                    "characters, pane line %lld)\n",
                    ms(t), evaluated, ms(t) - evaluated,
                    static_cast<long long>(pane.messages().last().size()),
                    static_cast<long long>(pane.document()->lastBlock().previous().length()));

        // "加载代码" of a 900 KB one-line script with a runtime error near its end: the
        // error line quotes the whole source line.
        QByteArray script;
        while (script.size() < 900 * 1024)
            script += "var a=1;";
        script += "undefinedFunction();";
        window.tabs().editor(1)->SetText(script);
        window.tabs().setCurrentIndex(1);
        const qsizetype before = pane.messages().size();
        t.start();
        window.loadButton()->click();
        const double loaded = ms(t);
        paint(pane);
        qsizetype longest = 0;
        for (const QString& m : pane.messages().mid(before))
            longest = std::max(longest, m.size());
        std::printf("error_line %.1f (load and append %.1f, paint %.1f; longest message %lld "
                    "characters)\n",
                    ms(t), loaded, ms(t) - loaded, static_cast<long long>(longest));

        // A pasted expression of 2**EXPONENT characters in the expression box.
        QString sum = QStringLiteral("1");
        while (sum.size() < (qsizetype(1) << exponent))
            sum += QStringLiteral("+1");
        t.start();
        window.expressionEdit()->setText(sum);
        QApplication::processEvents();
        window.expressionEdit()->repaint();
        std::printf("long_expression %.1f (%lld characters into the box and painted)\n", ms(t),
                    static_cast<long long>(window.expressionEdit()->text().size()));

        t.start();
        // The cost of one append, early and late: it must not grow with the pane.
        QElapsedTimer chunk;
        chunk.start();
        double firstChunk = 0;
        for (int i = 0; i < lines; ++i) {
            pane.append(QStringLiteral("-->计算结果：第 %1 行，一行普通长度的输出文字\r\n").arg(i));
            if (i == 999)
                firstChunk = ms(chunk);
            if (i == lines - 1001)
                chunk.start();
        }
        const double lastChunk = ms(chunk);
        const double appended = ms(t);
        std::printf("append_first_1000 %.1f\nappend_last_1000 %.1f\n", firstChunk, lastChunk);
        paint(pane);
        std::printf("append_lines %.1f (%d lines, append %.1f, paint %.1f)\n", ms(t), lines,
                    appended, ms(t) - appended);

        t.start();
        QScrollBar* bar = pane.verticalScrollBar();
        for (int step = 0; step <= 20; ++step) {
            bar->setValue(bar->maximum() - (bar->maximum() - bar->minimum()) * step / 20);
            paint(pane);
        }
        std::printf("scroll %.1f (21 positions from the end to the top)\n", ms(t));

        ScriptThread::instance().setWaiter(nullptr);
        globals.teardown();
    }
    ScriptThread::instance().shutdown();
    return 0;
}
