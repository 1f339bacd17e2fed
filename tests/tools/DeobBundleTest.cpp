// Bundles and minified scripts through the deobfuscator, one test per fixture set: the
// result logs what the bundle logs, minified code comes out without !0, void 0 and
// `a && b()` statements, and a bundle's module files, run together by a small CommonJS
// loader, log what the bundle logged.

#include "engine/ScriptThread.h"
#include "script/ScriptEngine.h"
#include "script/ScriptHost.h"
#include "tools/DeobfuscateScript.h"

#include "../support/ModuleLink.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRegularExpression>

namespace {
// What a script logs through log(x) in a fresh engine (a page's self and window are the
// global object: webpack keeps its chunks there).
QString runLogged(const QString& code) {
    QString out;
    BlockingWaiter waiter(10.0);
    ScriptThread::instance().setWaiter(&waiter);
    ScriptThread::instance().call([&] {
        ScriptEngine engine;
        engine.addCode(QStringLiteral("var __out = []; function log(x) { __out.push(String(x)); }"
                                      "var self = this, window = this;"));
        engine.addCode(code);
        const QString error = engine.error().number ? engine.error().description : QString();
        out = engine.eval(QStringLiteral("__out.join('\\n')")).stringValue();
        if (!error.isEmpty())
            out += QStringLiteral("\nERROR ") + error;
    });
    ScriptThread::instance().setWaiter(nullptr);
    return out;
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

QString readFile(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(f.readAll());
}

struct FixtureSet {
    const char* name;
    int apart; // how many bundles of the set come apart into module files
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
        const QString expected = runLogged(original);
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
                      FixtureSet{"minified-esbuild", 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == '-')
                c = '_';
        return name;
    });
