#pragma once

#include <QStringList>

// vexojs-cli eval [--load FILE]... [--timeout SECONDS] [--max-line N] EXPRESSION
// Prints whole values; with --max-line every line is cut to N characters.
int runEvalCommand(const QStringList& args);
