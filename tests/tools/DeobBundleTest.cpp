// Bundles, minified scripts, the obfuscator's other settings and stacked layers through
// the deobfuscator, one test per fixture set: the result logs what the original logs, minified code
// comes out without !0, void 0 and `a && b()` statements, and a bundle's module files, run together
// by a small CommonJS loader, log what the bundle logged.

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "tools/DeobfuscateScript.h"

#include "../support/LoggedRun.h"
#include "../support/ModuleLink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
// What a script logs, with what its page gives it: setTimeout (its timers run once the
// script is done, code given as text at the top), atob (the engine has none), and self and
// window as the global object (webpack keeps its chunks there).
QString runLogged(const QString& code) {
    return runLogged(
        code,
        QStringLiteral(
            "var __timers = [];"
            "function setTimeout(f) { __timers.push(f); return 1; }"
            "function atob(s) { var k = 'ABCDEFGHIJKLMNOPQRSTUVWXYZ"
            "abcdefghijklmnopqrstuvwxyz0123456789+/', o = '', b = 0, n = 0;"
            "  s = String(s).replace(/[=\\s]/g, '');"
            "  for (var i = 0; i < s.length; i++) { b = b << 6 | k.indexOf(s[i]);"
            "    n += 6; if (n >= 8) { n -= 8; o += String.fromCharCode(b >> n & 255); } }"
            "  return o; }"
            "var self = this, window = this;"),
        QStringLiteral("__timers.forEach(function (f) {"
                       "  typeof f === 'function' ? f() : (0, eval)(String(f)); });"));
}

QString linkedModules(const QList<DeobModule>& modules) {
    QMap<QString, QString> files;
    QString entry;
    for (const DeobModule& m : modules) {
        files.insert(m.name, m.code);
        if (m.entry)
            entry = m.name;
    }
    return linkedModules(files, entry);
}

struct FixtureSet {
    const char* name;
    int apart;                // how many bundles of the set come apart into module files
    bool bookmarklet = false; // %-escaped: a browser runs it unescaped
};

void PrintTo(const FixtureSet& set, std::ostream* os) {
    *os << set.name;
}
} // namespace

class DeobBundles : public ::testing::TestWithParam<FixtureSet> {};

TEST_P(DeobBundles, ResultAndModuleFilesLogTheSameAsTheBundle) {
    const QDir dir(QStringLiteral(VEXO_TEST_DATA "/deob/") + QString::fromLatin1(GetParam().name));
    const QStringList files = dir.entryList({QStringLiteral("*.js")}, QDir::Files, QDir::Name);
    ASSERT_FALSE(files.isEmpty());
    static const QRegularExpression minifierForms(
        QStringLiteral("!0\\b|!1\\b|\\bvoid 0\\b|^\\s*[\\w.]+ && [\\w.]+\\(.*\\);$"),
        QRegularExpression::MultilineOption);
    int apart = 0;
    for (const QString& name : files) {
        SCOPED_TRACE(name.toStdString());
        const QString original = readFile(dir.filePath(name));
        const QString expected =
            runLogged(GetParam().bookmarklet ? QStringLiteral("(0, eval)(unescape(\"%1\"));")
                                                   .arg(original) // no quote or \\ in it
                                             : original);
        ASSERT_FALSE(expected.isEmpty());
        ASSERT_FALSE(expected.contains(QStringLiteral("ERROR"))) << expected.toStdString();
        const DeobResult r = DeobfuscateScript(original);
        ASSERT_TRUE(r.ok) << r.error.toStdString();
        EXPECT_TRUE(r.behaviour.rolledBack.isEmpty()) << r.behaviour.rolledBack.toStdString();
        EXPECT_EQ(runLogged(r.code).toStdString(), expected.toStdString());
        EXPECT_FALSE(r.code.contains(minifierForms)) << r.code.toStdString();
        if (r.modules.isEmpty())
            continue;
        ++apart;
        ASSERT_GE(r.modules.size(), 2);
        EXPECT_EQ(std::count_if(r.modules.begin(), r.modules.end(),
                                [](const DeobModule& m) { return m.entry; }),
                  1);
        EXPECT_EQ(runLogged(linkedModules(r.modules)).toStdString(), expected.toStdString());
    }
    EXPECT_EQ(apart, GetParam().apart);
}

INSTANTIATE_TEST_SUITE_P(
    Sets, DeobBundles,
    ::testing::Values(FixtureSet{"webpack-dev", 3}, FixtureSet{"webpack-eval", 3},
                      FixtureSet{"webpack-runtime", 3}, FixtureSet{"webpack-prod", 2},
                      FixtureSet{"webpack-obfuscated", 2}, FixtureSet{"browserify", 1},
                      FixtureSet{"browserify-min", 1}, FixtureSet{"esbuild-cjs", 1},
                      FixtureSet{"esbuild-min", 2}, FixtureSet{"minified-terser", 0},
                      FixtureSet{"minified-esbuild", 0}, FixtureSet{"index-hex-string", 0},
                      FixtureSet{"wrappers-chained-5", 0}, FixtureSet{"threshold-half", 0},
                      FixtureSet{"split-chunk-2", 0}, FixtureSet{"dictionary-names", 0},
                      FixtureSet{"node-mangled-self-defending", 0},
                      FixtureSet{"obfuscated-twice", 0},
                      FixtureSet{"stack-packed-escaped", 0, true}, FixtureSet{"stack-eval-atob", 0},
                      FixtureSet{"stack-eval-utf8-atob", 0}, FixtureSet{"stack-function-global", 0},
                      FixtureSet{"stack-timeout-string", 0}, FixtureSet{"stack-nested-eval", 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == '-')
                c = '_';
        return name;
    });
