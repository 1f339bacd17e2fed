#pragma once

#include <QStringList>

// vexojs-cli deobfuscate [--history] [--timeout SECONDS] [FILE|-]
int runDeobfuscateCommand(const QStringList& args);
