#pragma once

#include <QStringList>

// vexojs-cli decode usc|utf8|url|base64 [FILE|-]
int runDecodeCommand(const QStringList& args);
