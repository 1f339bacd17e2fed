// "环境监控": the record of a page script's accesses to the environment (bare missing
// names, property paths, calls, each with its first line), the stubs it offers, and the
// command line's --browser, --env and --env-log.

#include "../support/CliProcess.h"
#include "../support/RecordingLog.h"

#include "browser/BrowserEnvironment.h"
#include "browser/EnvironmentCode.h"
#include "script/GlobalObjects.h"
#include "script/ScriptSession.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {
const AccessEntry* find(const AccessRun& run, const QString& kind, const QString& path) {
    for (const AccessEntry& e : run.entries)
        if (e.kind == kind && e.path == path)
            return &e;
    return nullptr;
}
} // namespace

TEST(AccessRecord, MissingNamesPathsAndCallsWithTheirFirstLine) {
    const QString script =
        QStringLiteral("var kind = typeof chrome2;\n"   // 1: a bare name that is not there
                       "var w = navigator.webdriver;\n" // 2: a property path
                       "navigator.javaEnabled(); navigator.javaEnabled();\n" // 3: a call, twice
                       "var n = navigator.xyz;\n"   // 4: a member that is not there
                       "document.cookie = 'a=1';\n" // 5: a write
                       "function later() { return window.chrome3; }\n"
                       "later();\n");
    auto record = std::make_shared<AccessRecord>();
    BrowserOptions options;
    options.enabled = options.monitor = true;
    GlobalObjects globals;
    RecordingLog log;
    globals.mainHost().setEnvironment(browserEnvironment(options, record));
    ASSERT_EQ(LoadCode(globals, script, log).outcome, LoadResult::Loaded);
    const AccessRun run = record->latest();

    struct Expected {
        const char* kind;
        const char* path;
        const char* value;
        int count;
        int line;
    };
    const Expected table[] = {
        {"缺失", "window.chrome2", "未定义", 1, 1},
        {"读取", "navigator.webdriver", "false", 1, 2},
        {"调用", "navigator.javaEnabled", "未定义", 2, 3},
        {"缺失", "navigator.xyz", "未定义", 1, 4},
        {"写入", "document.cookie", "\"a=1\"", 1, 5},
        {"缺失", "window.chrome3", "未定义", 1, 6},
    };
    for (const Expected& e : table) {
        const AccessEntry* got = find(run, QString::fromUtf8(e.kind), QString::fromUtf8(e.path));
        ASSERT_TRUE(got) << e.kind << " " << e.path;
        EXPECT_EQ(got->value.toStdString(), e.value) << e.path;
        EXPECT_EQ(got->count, e.count) << e.path;
        EXPECT_EQ(got->line, e.line) << e.path;
        EXPECT_GT(got->column, 0) << e.path;
    }
    // The engine's own look-ups and the environment's are not the script's.
    EXPECT_FALSE(find(run, QStringLiteral("缺失"), QStringLiteral("window.kind")));
    for (const AccessEntry& e : run.entries)
        EXPECT_FALSE(e.path.contains(QLatin1String("vexo"))) << e.path.toStdString();

    // A stub per missing path, added to the environment code once.
    const QStringList stubs = stubsFor(
        {QStringLiteral("window.chrome2"), QStringLiteral("navigator.xyz"),
         QStringLiteral("document.createElement().getContext"), QStringLiteral("window.chrome2")});
    EXPECT_EQ(stubs, (QStringList{QStringLiteral("window.chrome2 = {};"),
                                  QStringLiteral("navigator.xyz = undefined;"),
                                  QStringLiteral("// document.createElement().getContext")}));
    const QString code = withStubs(QStringLiteral("var a = 1;"), stubs);
    EXPECT_EQ(withStubs(code, stubs), code);
    EXPECT_TRUE(code.startsWith(QLatin1String("var a = 1;\nwindow.chrome2 = {};\n")));

    // With the stubs as environment code, nothing is missing any more.
    options.environmentCode = code;
    globals.mainHost().setEnvironment(browserEnvironment(options, record));
    ASSERT_EQ(LoadCode(globals, script, log).outcome, LoadResult::Loaded);
    EXPECT_FALSE(find(record->latest(), QStringLiteral("缺失"), QStringLiteral("window.chrome2")));
    EXPECT_FALSE(find(record->latest(), QStringLiteral("缺失"), QStringLiteral("navigator.xyz")));
    EXPECT_EQ(record->runs().size(), 2);
}

TEST(AccessRecord, CommandLineBrowserEnvironmentCodeAndRecord) {
    QTemporaryDir dir;
    const QString page = dir.filePath(QStringLiteral("page.js"));
    const QString env = dir.filePath(QStringLiteral("env.js"));
    {
        QFile f(page);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("var id = navigator.userAgent.length > 0 && typeof missingThing;\n");
        QFile e(env);
        ASSERT_TRUE(e.open(QIODevice::WriteOnly));
        e.write("window.fromEnv = location.hostname;\n");
    }
    struct Run {
        QStringList args;
        const char* value;
    };
    const Run runs[] = {
        {{QStringLiteral("--load"), page, QStringLiteral("typeof window")}, "undefined"},
        {{QStringLiteral("--browser"), QStringLiteral("--load"), page,
          QStringLiteral("typeof window")},
         "object"},
        {{QStringLiteral("--env"), env, QStringLiteral("--url"),
          QStringLiteral("https://site.test/x"), QStringLiteral("--load"), page,
          QStringLiteral("fromEnv")},
         "site.test"},
    };
    for (const Run& r : runs) {
        const CliOutput out = runCli(QStringList{QStringLiteral("eval")} + r.args);
        const QString text = QString::fromUtf8(out.out);
        EXPECT_TRUE(text.contains(QStringLiteral("-->计算结果：") + QString::fromUtf8(r.value)))
            << text.toStdString();
    }
    const CliOutput logged = runCli({QStringLiteral("eval"), QStringLiteral("--env-log"),
                                     QStringLiteral("--load"), page, QStringLiteral("id")});
    const QString err = QString::fromUtf8(logged.err);
    EXPECT_TRUE(err.contains(QStringLiteral("读取\tnavigator.userAgent\t"))) << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("缺失\twindow.missingThing\t未定义\t1\t1:")))
        << err.toStdString();
}
