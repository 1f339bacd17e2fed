#pragma once
// Runs the built vexojs-cli as a user would: a real process, input on standard input,
// both output streams kept as bytes.

#include <gtest/gtest.h>

#include <QProcess>
#include <QStringList>

struct CliOutput {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

inline CliOutput runCli(const QStringList& args, const QByteArray& input = {}) {
    QProcess p;
    p.start(QStringLiteral(VEXO_BUILD_DIR "/vexojs-cli"), args);
    EXPECT_TRUE(p.waitForStarted());
    p.write(input);
    p.closeWriteChannel();
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}
