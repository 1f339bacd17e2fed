// The fuzz harness without libFuzzer: inputs from a seeded random generator, so a run is
// repeatable and fits in the test suite.
//
//   vexo-fuzz-seeded [--seed N] [--runs N] [--seconds S] [--max-len N] [--stop-limit S]
//                    [--node PATH --acorn PREFIX] [--findings DIR] [--replay FILE]...
//                    [--unit FILE]...
// --replay takes a saved program, --unit a raw fuzz input (as libFuzzer saves them).
//
// Exit status 1 when anything was found.

#include "FindingLog.h"
#include "FuzzTarget.h"

#include "engine/ScriptThread.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <random>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    quint64 seed = 1;
    long runs = 0;
    double seconds = 0;
    int maxLen = 1024;
    FuzzSettings settings;
    settings.sourceDir = QStringLiteral(VEXO_SOURCE_DIR);
    QString findings;
    QStringList replays;
    QStringList units;
    const QStringList args = QCoreApplication::arguments();
    for (qsizetype i = 1; i + 1 < args.size(); i += 2) {
        const QString& a = args[i];
        const QString& v = args[i + 1];
        if (a == QLatin1String("--seed"))
            seed = v.toULongLong();
        else if (a == QLatin1String("--runs"))
            runs = v.toLong();
        else if (a == QLatin1String("--seconds"))
            seconds = v.toDouble();
        else if (a == QLatin1String("--max-len"))
            maxLen = std::max(1, v.toInt());
        else if (a == QLatin1String("--stop-limit"))
            settings.stopLimitSeconds = v.toDouble();
        else if (a == QLatin1String("--node"))
            settings.node = v;
        else if (a == QLatin1String("--acorn"))
            settings.acornPrefix = v;
        else if (a == QLatin1String("--findings"))
            findings = v;
        else if (a == QLatin1String("--replay"))
            replays << v;
        else if (a == QLatin1String("--unit"))
            units << v;
    }
    if (runs <= 0 && seconds <= 0)
        runs = 200;
    if (!settings.node.isEmpty() &&
        !QFileInfo::exists(settings.acornPrefix + QStringLiteral("/node_modules/acorn"))) {
        std::fprintf(stderr, "acorn not found under %s: syntax-tree checks skipped\n",
                     settings.acornPrefix.toUtf8().constData());
        settings.node.clear();
    }

    FindingLog log(findings);
    int status = 0;
    {
        FuzzTarget target(settings, [&](const QString& kind, const QString& detail,
                                        const QString& input) { log.record(kind, detail, input); });
        if (!settings.node.isEmpty() && !target.syntaxChecksAvailable())
            std::fprintf(stderr, "the syntax-tree parser did not start: checks skipped\n");
        for (const QString& path : std::as_const(replays)) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                target.replay(QString::fromUtf8(file.readAll()));
        }
        for (const QString& path : std::as_const(units)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray bytes = file.readAll();
            QElapsedTimer unitClock;
            unitClock.start();
            target.run(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
            std::printf("%s: %.1f s\n", path.toUtf8().constData(), unitClock.elapsed() / 1000.0);
        }
        if (!replays.isEmpty() || !units.isEmpty())
            runs = -1; // replaying only
        std::mt19937_64 random(seed);
        QElapsedTimer clock;
        clock.start();
        long done = 0;
        std::vector<uint8_t> input;
        while (runs >= 0 && (runs == 0 || done < runs) &&
               (seconds <= 0 || clock.elapsed() < seconds * 1000)) {
            // Mostly short inputs: the generator makes whole programs from a few bytes.
            const int len = 1 + int(random() % (random() % 4 == 0 ? maxLen : 64));
            input.resize(size_t(len));
            for (uint8_t& b : input)
                b = uint8_t(random());
            target.run(input.data(), input.size());
            ++done;
        }
        std::printf("seed %llu: %ld executions in %.1f s; %ld findings (%d distinct)\n",
                    static_cast<unsigned long long>(seed), done, clock.elapsed() / 1000.0,
                    log.total(), log.distinct());
        std::printf("%s\n", target.summary().toUtf8().constData());
        if (log.distinct() > 0) {
            std::printf("findings:\n%s\n", log.summary().toUtf8().constData());
            status = 1;
        }
    }
    ScriptThread::instance().shutdown();
    return status;
}
