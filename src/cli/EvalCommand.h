#pragma once

#include <QStringList>

// vexojs-cli eval [--load FILE]... [--timeout SECONDS] [--max-line N] [--browser]
//                 [--env FILE] [--env-log] [--url ADDRESS] [--user-agent UA]
//                 [--fixed SEED[,START]] EXPRESSION
// Prints whole values; with --max-line every line is cut to N characters. --browser runs
// the code in the browser environment (--env adds the user's environment code, --url
// sets the page address); --env-log prints the access record on standard error.
int runEvalCommand(const QStringList& args);
