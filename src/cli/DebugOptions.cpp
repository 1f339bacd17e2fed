#include "cli/DebugOptions.h"

#include "cli/CliIo.h"
#include "debug/DebugSession.h"

#include <QFileInfo>

#include <mutex>

// Prints each reported value as one line; the script never stops for it.
class CliDebugListener : public DebugListener {
public:
    explicit CliDebugListener(QHash<int, QString> places) : m_places(std::move(places)) {}

    void paused(const PauseInfo&) override { DebugSession::instance().resume(); }
    void probed(const ProbeHit& hit) override {
        const QString place = m_places.value(hit.breakpoint.source * 1000000 + hit.breakpoint.line);
        std::lock_guard lock(m_mutex);
        if (hit.expression.isEmpty())
            m_lines << QStringLiteral("-->断点 %1").arg(place);
        else
            m_lines << QStringLiteral("-->断点 %1：%2 = %3")
                           .arg(place, hit.expression, hit.value.text());
    }
    QStringList take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_lines, QStringList());
    }

private:
    QStringList m_lines;
    QHash<int, QString> m_places; // source * 1000000 + line → "file:line"
    std::mutex m_mutex;
};

DebugOptions::DebugOptions() = default;
DebugOptions::~DebugOptions() {
    uninstall();
}

bool DebugOptions::take(const QStringList& args, qsizetype& i, QString* error) {
    const QString& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == QLatin1String("--break") && hasValue) {
        Break b;
        b.spec = args[++i];
        m_breaks.append(b);
        return true;
    }
    if (a == QLatin1String("--on-break") && hasValue) {
        if (m_breaks.isEmpty()) {
            *error = QStringLiteral("vexojs-cli eval: --on-break 须跟在 --break 之后");
            ++i;
            return true;
        }
        m_breaks.last().expressions << args[++i];
        return true;
    }
    if (a == QLatin1String("--trace") && hasValue) {
        for (const QString& name : args[++i].split(QLatin1Char(','), Qt::SkipEmptyParts))
            m_trace << name.trimmed();
        return true;
    }
    return false;
}

bool DebugOptions::resolve(const QStringList& loadedFiles, QString* error) {
    for (Break& b : m_breaks) {
        // FILE may itself hold colons: it is whichever loaded file the text starts with.
        for (qsizetype k = 0; k < loadedFiles.size() && !b.source; ++k) {
            const QString& file = loadedFiles[k];
            const QStringList names{file, QFileInfo(file).fileName()};
            for (const QString& name : names) {
                if (!b.spec.startsWith(name + QLatin1Char(':')))
                    continue;
                const QString rest = b.spec.mid(name.size() + 1);
                const qsizetype colon = rest.indexOf(QLatin1Char(':'));
                bool ok = false;
                const int line = rest.left(colon < 0 ? rest.size() : colon).toInt(&ok);
                if (!ok || line < 1)
                    continue;
                b.file = name;
                b.line = line;
                b.condition = colon < 0 ? QString() : rest.mid(colon + 1);
                b.source = int(k) + 1;
                break;
            }
        }
        if (!b.source) {
            *error = QStringLiteral("vexojs-cli eval: --break %1 不是“已加载的文件:行号[:条件]”")
                         .arg(b.spec);
            return false;
        }
    }
    return true;
}

bool DebugOptions::install() {
    if (!any())
        return true;
    DebugSession& session = DebugSession::instance();
    QString why;
    if (!session.available(&why)) {
        printError(why);
        return false;
    }
    QList<Breakpoint> list;
    QHash<int, QString> places;
    for (const Break& b : std::as_const(m_breaks)) {
        Breakpoint p;
        p.source = b.source;
        p.line = b.line;
        p.condition = b.condition;
        p.probes = b.expressions;
        p.scripted = true;
        list.append(p);
        places.insert(b.source * 1000000 + b.line, QStringLiteral("%1:%2").arg(b.file).arg(b.line));
    }
    m_listener = std::make_unique<CliDebugListener>(places);
    session.setListener(m_listener.get());
    session.setBreakpoints(list);
    session.setTraceNames(m_trace);
    return true;
}

void DebugOptions::drain() {
    if (!m_listener)
        return;
    DebugSession::instance().flush();
    for (const QString& line : m_listener->take())
        printLine(line);
}

void DebugOptions::finishJob() {
    if (!m_listener)
        return;
    drain();
    DebugSession& session = DebugSession::instance();
    const QString problem = session.takeProblem();
    if (!problem.isEmpty())
        printError(problem);
    if (m_trace.isEmpty())
        return;
    qint64 dropped = 0;
    const QStringList lines = session.takeTrace(&dropped);
    for (const QString& line : lines)
        printError(line);
    if (dropped > 0)
        printError(QStringLiteral("…另有 %1 次调用未记录").arg(dropped));
}

void DebugOptions::uninstall() {
    if (!m_listener)
        return;
    DebugSession& session = DebugSession::instance();
    session.setBreakpoints({});
    session.setTraceNames({});
    session.setListener(nullptr);
    m_listener.reset();
}
