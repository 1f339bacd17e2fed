#pragma once
// Writes the modules of an unbundled script into a folder, one file each.

#include "tools/DeobfuscateScript.h"

#include <QString>

// Writes every module under dir (made when missing; subfolders as the names say). Each
// file goes to a temporary file first and replaces the target only when complete.
// Returns an empty string, or why a file could not be written.
QString writeModuleFiles(const QString& dir, const QList<DeobModule>& modules);
