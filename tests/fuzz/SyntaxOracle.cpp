#include "SyntaxOracle.h"

SyntaxOracle::SyntaxOracle(QString node, QString acornPrefix, QString serverScript)
    : m_node(std::move(node)), m_prefix(std::move(acornPrefix)), m_script(std::move(serverScript)) {
}

SyntaxOracle::~SyntaxOracle() {
    if (isRunning()) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(2000))
            m_process.kill();
        m_process.waitForFinished(2000);
    }
}

bool SyntaxOracle::start() {
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start(m_node, {m_script, m_prefix});
    if (!m_process.waitForStarted(10000))
        return false;
    // The server says "ready" once acorn is loaded.
    return ask("", "") == QLatin1String("ready");
}

QString SyntaxOracle::ask(const QByteArray& a, const QByteArray& b) {
    if (!isRunning())
        return QStringLiteral("unavailable");
    m_process.write(QByteArray::number(a.size()) + ' ' + QByteArray::number(b.size()) + '\n' + a +
                    b);
    m_process.waitForBytesWritten(-1);
    while (!m_process.canReadLine()) {
        if (!m_process.waitForReadyRead(120000))
            return QStringLiteral("unavailable");
    }
    return QString::fromUtf8(m_process.readLine()).trimmed();
}

SyntaxOracle::Verdict SyntaxOracle::compare(const QString& original, const QString& transformed,
                                            QString* detail) {
    const QString answer = ask(original.toUtf8(), transformed.toUtf8());
    if (detail)
        *detail = answer.section(QLatin1Char(' '), 1);
    if (answer == QLatin1String("same"))
        return Verdict::Same;
    if (answer.startsWith(QLatin1String("original-invalid")))
        return Verdict::OriginalInvalid;
    if (answer.startsWith(QLatin1String("result-invalid")))
        return Verdict::ResultInvalid;
    if (answer.startsWith(QLatin1String("different")))
        return Verdict::Different;
    return Verdict::Unavailable;
}

bool SyntaxOracle::parses(const QString& text) {
    return compare(text, text, nullptr) == Verdict::Same;
}
