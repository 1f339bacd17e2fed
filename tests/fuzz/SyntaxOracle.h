#pragma once
// Compares the syntax trees of two scripts with a parser under node (acorn), kept
// running as one child process for the whole fuzz run.

#include <QProcess>
#include <QString>

class SyntaxOracle {
public:
    enum class Verdict { Same, Different, OriginalInvalid, ResultInvalid, Unavailable };

    // node and the folder whose node_modules holds acorn.
    SyntaxOracle(QString node, QString acornPrefix, QString serverScript);
    ~SyntaxOracle();

    bool start();
    bool isRunning() const { return m_process.state() == QProcess::Running; }
    // Only the original parsed?
    Verdict compare(const QString& original, const QString& transformed, QString* detail);
    // Whether the text parses at all (script or module).
    bool parses(const QString& text);

private:
    QString ask(const QByteArray& a, const QByteArray& b);

    QString m_node;
    QString m_prefix;
    QString m_script;
    QProcess m_process;
};
