#pragma once

#include <QStringList>

// vexojs-cli format|unpack|minify [--timeout SECONDS] [FILE|-]
int runToolCommand(const QString& tool, const QStringList& args);
