#include "FuzzTarget.h"

#include "JsGenerator.h"
#include "SyntaxOracle.h"

#include "engine/ScriptThread.h"
#include "script/GlobalObjects.h"
#include "script/LogSink.h"
#include "script/ObjectDescription.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"
#include "script/ValueText.h"
#include "tools/FormatScript.h"
#include "tools/MinifyScript.h"
#include "tools/UnpackScript.h"

#include <QElapsedTimer>
#include <QFile>

#include <cstdio>

namespace {
QString oneLine(QString text, int max = 300) {
    text.replace(QLatin1Char('\r'), QLatin1String("\\r"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n"));
    return text.left(max);
}

// Collects the report's lines and checks their shape as they arrive.
class CheckingLog : public LogSink {
public:
    void append(const QString& text) override { lines << text; }
    QStringList lines;
};

class InspectingQuestion : public ObjectQuestion {
public:
    bool askToInspect() override { return true; }
    void inspect(const std::shared_ptr<ScriptObject>& object) override {
        inspected = true;
        listed = ArrayListing(object).size();
        described = DescribeObject(object);
    }
    bool inspected = false;
    qsizetype listed = 0;
    QString described;
};
} // namespace

FuzzTarget::FuzzTarget(FuzzSettings settings, FindingHandler onFinding)
    : m_settings(std::move(settings)), m_onFinding(std::move(onFinding)) {
    if (!m_settings.node.isEmpty()) {
        m_oracle = std::make_unique<SyntaxOracle>(m_settings.node, m_settings.acornPrefix,
                                                  m_settings.sourceDir +
                                                      QStringLiteral("/tests/fuzz/astserver.mjs"));
        if (!m_oracle->start())
            m_oracle.reset();
    }
    QFile packer(m_settings.sourceDir + QStringLiteral("/devtools/jsdev/packer.js"));
    // Without the packer the unpack round trip would pass untried.
    if (!packer.open(QIODevice::ReadOnly))
        qFatal("fuzz: cannot read %s", qPrintable(packer.fileName()));
    m_packer = QString::fromUtf8(packer.readAll());
    m_globals = std::make_unique<GlobalObjects>();
}

FuzzTarget::~FuzzTarget() {
    if (m_globals)
        m_globals->teardown();
}

bool FuzzTarget::syntaxChecksAvailable() const {
    return m_oracle != nullptr;
}

void FuzzTarget::finding(const QString& kind, const QString& detail, const QString& input) {
    count(QStringLiteral("finding ") + kind);
    if (m_onFinding)
        m_onFinding(kind, oneLine(detail, 1200), input);
}

template <typename F> auto FuzzTarget::timed(const char* what, const QString& input, F&& call) {
    QElapsedTimer clock;
    clock.start();
    auto result = call();
    const double seconds = clock.elapsed() / 1000.0;
    if (seconds > m_settings.stopLimitSeconds + m_settings.hangGraceSeconds)
        finding(QStringLiteral("hang"),
                QStringLiteral("%1 took %2 s").arg(QLatin1String(what)).arg(seconds), input);
    else if (seconds > m_settings.stopLimitSeconds)
        count(QStringLiteral("stopped ") + QLatin1String(what));
    return result;
}

void FuzzTarget::checkTree(const char* tool, const QString& original, const QString& result) {
    if (!m_oracle)
        return;
    QString detail;
    switch (m_oracle->compare(original, result, &detail)) {
    case SyntaxOracle::Verdict::Same:
        count(QStringLiteral("same tree ") + QLatin1String(tool));
        break;
    case SyntaxOracle::Verdict::OriginalInvalid:
        count(QStringLiteral("input not valid"));
        break;
    case SyntaxOracle::Verdict::ResultInvalid:
        finding(QLatin1String(tool) + QStringLiteral("-invalid"),
                detail + QStringLiteral(" | result: ") + oneLine(result, 600), original);
        break;
    case SyntaxOracle::Verdict::Different:
        finding(QLatin1String(tool) + QStringLiteral("-tree"),
                detail + QStringLiteral(" | result: ") + oneLine(result, 600), original);
        break;
    case SyntaxOracle::Verdict::Unavailable:
        count(QStringLiteral("parser unavailable"));
        break;
    }
}

void FuzzTarget::run(const uint8_t* data, size_t size) {
    if (size == 0)
        return;
    BlockingWaiter waiter(m_settings.stopLimitSeconds);
    ScriptThread::instance().setWaiter(&waiter);
    ByteChoices choices(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
        count(QStringLiteral("mode raw"));
        runRaw(QString::fromUtf8(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1)));
        break;
    case 1:
        count(QStringLiteral("mode generated"));
        runGenerated(QString::fromStdString(generateProgram(choices)));
        break;
    case 2: {
        count(QStringLiteral("mode packed"));
        const unsigned radix = 2 + choices.pick(94);
        const bool outer = choices.chance(3);
        const bool loop = choices.chance(2);
        runPacked(QString::fromStdString(generateProgram(choices)), radix, outer, loop);
        break;
    }
    default: {
        count(QStringLiteral("mode eval"));
        const QString program = QString::fromStdString(generateProgram(choices));
        runEval(program, QString::fromStdString(generateExpression(choices)));
        break;
    }
    }
    ScriptThread::instance().setWaiter(nullptr);
}

void FuzzTarget::replay(const QString& program) {
    BlockingWaiter waiter(m_settings.stopLimitSeconds);
    ScriptThread::instance().setWaiter(&waiter);
    runGenerated(program);
    for (unsigned radix : {2u, 10u, 36u, 62u, 95u})
        for (bool outer : {false, true})
            for (bool loop : {false, true})
                runPacked(program, radix, outer, loop);
    ScriptThread::instance().setWaiter(nullptr);
}

void FuzzTarget::runRaw(const QString& text) {
    const ToolResult formatted = timed("format", text, [&] { return FormatScript(text); });
    const ToolResult minified = timed("minify", text, [&] { return MinifyScript(text); });
    const ToolResult unpacked = timed("unpack", text, [&] { return UnpackScript(text); });
    for (const ToolResult* r : {&formatted, &minified, &unpacked}) {
        if (!r->ok && r->error.isEmpty())
            finding(QStringLiteral("silent-failure"),
                    QStringLiteral("a tool failed without a reason"), text);
    }
    // Raw bytes rarely parse; when they do, the trees must survive too.
    if (m_oracle && m_oracle->parses(text)) {
        count(QStringLiteral("raw input valid"));
        if (formatted.ok)
            checkTree("format", text, formatted.text);
        if (minified.ok)
            checkTree("minify", text, dropEmptyFirstLine(minified.text));
    }
}

void FuzzTarget::runGenerated(const QString& program) {
    const ToolResult formatted = timed("format", program, [&] { return FormatScript(program); });
    const ToolResult minified = timed("minify", program, [&] { return MinifyScript(program); });
    if (m_oracle && !m_oracle->parses(program)) {
        count(QStringLiteral("input not valid"));
        if (qEnvironmentVariableIsSet("VEXO_FUZZ_SHOW_INVALID"))
            std::fprintf(stderr, "INVALID %s\n", oneLine(program, 2000).toUtf8().constData());
        return;
    }
    count(QStringLiteral("valid program"));
    if (!formatted.ok && !formatted.error.contains(QStringLiteral("中止")))
        finding(QStringLiteral("format-failed"), formatted.error, program);
    else if (formatted.ok)
        checkTree("format", program, formatted.text);
    if (!minified.ok && !minified.error.contains(QStringLiteral("中止")))
        finding(QStringLiteral("minify-failed"), minified.error, program);
    else if (minified.ok)
        checkTree("minify", program, dropEmptyFirstLine(minified.text));
}

void FuzzTarget::runPacked(const QString& program, unsigned radix, bool outer, bool loop) {
    if (m_packer.isEmpty() || (m_oracle && !m_oracle->parses(program)))
        return;
    QString packed;
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.addCode(m_packer);
        const Variant out =
            engine.run(QStringLiteral("pack"),
                       {Variant::fromString(program), Variant::fromInt(qint32(radix)),
                        Variant::fromString(QStringLiteral("d")), Variant::fromBool(outer),
                        Variant::fromString(loop ? QStringLiteral("loop") : QString())});
        if (engine.error().number == 0 && out.vt() == Variant::BStr)
            packed = out.stringValue();
    });
    if (packed.isEmpty()) {
        count(QStringLiteral("packer declined"));
        return;
    }
    const ToolResult unpacked = timed("unpack", packed, [&] { return UnpackScript(packed); });
    if (!unpacked.ok) {
        if (!unpacked.error.contains(QStringLiteral("中止")) &&
            !unpacked.error.contains(QStringLiteral("超时")))
            finding(QStringLiteral("unpack-failed"), unpacked.error, packed);
        return;
    }
    const ToolResult formatted =
        timed("format", unpacked.text, [&] { return FormatScript(unpacked.text); });
    if (formatted.ok)
        checkTree("unpack", program, formatted.text);
}

// The generator's names with values of every kind the report knows, so that generated
// expressions mostly evaluate instead of stopping at an undefined name.
const QString kEvalPrelude = QStringLiteral(
    "var a = [10, 'a', [1, 2]], b = {p: 1, get g() { return 2 }, m(x) { return x }}, x = 1.5,"
    " $ = 'text', _y = null, 变量 = new Date(2020, 1, 29, 12), of = Symbol('s'), get = 10n,"
    " set = new Uint8Array(3), async = function (p, ...rest) { return p }, static = /re/g,"
    " let_ = new Map([[1, 2]]), yield_ = new Date(NaN), c1 = new String('w'), aé = true,"
    " value = {length: 3, 0: 'z'}, i = 0, tag = function (s) { return s.raw }, B = class {};\n");

void FuzzTarget::runEval(const QString& generated, const QString& expression) {
    CheckingLog log;
    const QString program = kEvalPrelude + generated;
    timed("load", program, [&] { return LoadCode(*m_globals, program, log); });
    InspectingQuestion question;
    timed("eval", expression,
          [&] { return EvaluateExpression(*m_globals, expression, log, question); });
    count(QStringLiteral("eval reports"));
    if (question.inspected)
        count(QStringLiteral("objects inspected"));
    for (const QString& line : std::as_const(log.lines)) {
        if (!line.startsWith(QLatin1String("-->")) || !line.endsWith(QLatin1String("\r\n"))) {
            finding(QStringLiteral("report-shape"), line,
                    program + QStringLiteral("\n/* expression: ") + expression +
                        QStringLiteral(" */"));
            break;
        }
    }
    // Each message shows as one line in the pane (control characters written visibly).
    for (const QString& line : std::as_const(log.lines)) {
        const QString shown = oneLineMessage(line);
        const QString body = shown.left(shown.size() - 2);
        if (body.contains(QLatin1Char('\n')) || body.contains(QLatin1Char('\r')) ||
            body.contains(QChar(0))) {
            finding(QStringLiteral("report-line-break"), line,
                    program + QStringLiteral("\n/* expression: ") + expression +
                        QStringLiteral(" */"));
            break;
        }
    }
}

QString FuzzTarget::summary() const {
    QStringList parts;
    for (const auto& [what, n] : m_counts)
        parts << QStringLiteral("%1: %2").arg(what).arg(n);
    return parts.join(QStringLiteral(", "));
}
