#pragma once
// One fuzz input through the code tools and the evaluation report. The first byte picks
// what the rest becomes:
//   0  raw text (UTF-8, lossy) into format, minify and unpack
//   1  a generated program into format and minify; both must keep its syntax tree
//   2  a generated program packed with devtools/jsdev/packer.js; unpack + format must give
//      the program's syntax tree back
//   3  a generated program loaded as "加载代码" does, then a generated expression
//      evaluated with its report and both inspector listings
// Every tool call runs under a stop limit; one that outlasts the limit by far is a hang.

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class GlobalObjects;
class SyntaxOracle;

struct FuzzSettings {
    double stopLimitSeconds = 3.0;
    // Beyond the stop limit, how long a call may take before it counts as a hang.
    double hangGraceSeconds = 30.0;
    // Empty: no syntax-tree checks (crash and hang checks only).
    QString node;
    QString acornPrefix;
    QString sourceDir;
};

class FuzzTarget {
public:
    // kind ("format-tree", "hang", …), a one-line detail, the text that caused it.
    using FindingHandler = std::function<void(const QString&, const QString&, const QString&)>;

    FuzzTarget(FuzzSettings settings, FindingHandler onFinding);
    ~FuzzTarget();

    // False when a syntax check was asked for but the parser could not be started.
    bool syntaxChecksAvailable() const;
    void run(const uint8_t* data, size_t size);
    // A saved program through format, minify and packing again (replaying findings).
    void replay(const QString& program);

    // How often each outcome happened (runs per mode, checks done, tool failures …).
    const std::map<QString, long>& counts() const { return m_counts; }
    QString summary() const;

private:
    void runRaw(const QString& text);
    void runGenerated(const QString& program);
    void runPacked(const QString& program, unsigned radix, bool outer, bool loop);
    void runEval(const QString& program, const QString& expression);
    template <typename F> auto timed(const char* what, const QString& input, F&& call);
    void checkTree(const char* tool, const QString& original, const QString& result);
    void finding(const QString& kind, const QString& detail, const QString& input);
    void count(const QString& what) { ++m_counts[what]; }

    FuzzSettings m_settings;
    FindingHandler m_onFinding;
    std::unique_ptr<SyntaxOracle> m_oracle;
    std::unique_ptr<GlobalObjects> m_globals;
    QString m_packer;
    std::map<QString, long> m_counts;
};
