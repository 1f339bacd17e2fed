// Times reading scripts the way the workbench does: "打开" of a big file (whole-file read,
// encoding detection, into a configured editor, first paint) and "读取JS" of the same file
// from a local web server (HttpFetch). Prints one "name ms" line per measurement.

#include "editor/CodeEditor.h"
#include "editor/HttpFetch.h"
#include "editor/ScriptEncoding.h"
#include "editor/ScriptFile.h"

#include <QApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {
double ms(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e6;
}
} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: vexo-io-bench FILE ADDRESS\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    const QString address = QString::fromLocal8Bit(argv[2]);

    CodeEditor editor(0);
    editor.Configure();
    editor.resize(822, 344);
    editor.show();
    QApplication::processEvents();

    QElapsedTimer t;
    t.start();
    const FileRead read = readScriptFile(path);
    if (!read.ok) {
        std::fprintf(stderr, "cannot read %s\n", argv[1]);
        return 2;
    }
    const double readMs = ms(t);
    const DecodedScript text = decodeScript(read.bytes);
    const double detectMs = ms(t) - readMs;
    editor.SetText(text.utf8);
    const double setMs = ms(t) - readMs - detectMs;
    editor.repaint();
    std::printf("open_file %.1f (read %.1f, detect %s %.1f, into editor %.1f, paint %.1f; %lld "
                "bytes)\n",
                ms(t), readMs, text.encoding.constData(), detectMs, setMs,
                ms(t) - readMs - detectMs - setMs, static_cast<long long>(read.bytes.size()));

    for (int i = 0; i < 3; ++i) {
        t.start();
        const FetchResult r = HttpFetch::fetch(address);
        if (!r.ok) {
            std::fprintf(stderr, "download failed: %s\n", qPrintable(r.error));
            return 1;
        }
        std::printf("download %.1f (%lld bytes)\n", ms(t), static_cast<long long>(r.body.size()));
    }
    return 0;
}
