#pragma once

#include <QStringList>

// vexojs-cli eval [--load FILE]... [--timeout SECONDS] EXPRESSION
int runEvalCommand(const QStringList& args);
