// "固定时间和随机数": the menu option reaches the next load, and it, the seed and the start
// hold in the next run of the program (a new window on the same settings file).

#include "../support/RecordingLog.h"
#include "../support/WindowFixture.h"

#include "script/ScriptSession.h"
#include "shell/FixedTimeOption.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QTemporaryDir>

namespace {
// Date.now() and the first Math.random() right after a load.
QString clockAndRandom(GlobalObjects& globals) {
    RecordingLog log;
    LoadCode(globals, QStringLiteral("var r = [Date.now(), Math.random()].join();"), log);
    return globals.mainHost().Eval(QStringLiteral("r")).toText();
}
} // namespace

TEST(FixedTimeOption, ReachesTheNextLoadAndHoldsInTheNextRun) {
    QTemporaryDir dir;
    const QString settings = dir.filePath(QStringLiteral("settings.ini"));
    QString fixedOnce;
    {
        WindowFixture run;
        FixedTimeOption option(run.window.workspace(), settings);
        EXPECT_FALSE(option.toggleAction()->isChecked()); // off until chosen
        option.setValues(FixedTime{5, 1714550400000.0});
        option.toggleAction()->setChecked(true);
        fixedOnce = clockAndRandom(run.globals);
        EXPECT_TRUE(fixedOnce.startsWith(QStringLiteral("1714550400000,0.")))
            << fixedOnce.toStdString();
        EXPECT_EQ(clockAndRandom(run.globals), fixedOnce);
    }
    const struct {
        bool on;
        bool sameAsBefore;
    } cases[] = {{true, true}, {false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.on);
        WindowFixture run;
        FixedTimeOption option(run.window.workspace(), settings);
        EXPECT_TRUE(option.toggleAction()->isChecked()); // as the run before left it
        option.toggleAction()->setChecked(c.on);
        EXPECT_EQ(clockAndRandom(run.globals) == fixedOnce, c.sameAsBefore);
        option.toggleAction()->setChecked(true);
    }
}
