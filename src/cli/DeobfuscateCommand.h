#pragma once

#include <QStringList>

// vexojs-cli deobfuscate [--history] [--timeout SECONDS] [--check EXPR] [FILE|-]
int runDeobfuscateCommand(const QStringList& args);
