#pragma once
// Finds the names that a script declares at its top level, in source order: function
// declarations and variables or assignments. Used to report a script's functions in the
// order they were written (the engine's own property order is not source order).

#include <QString>
#include <QStringList>

QStringList scanTopLevelNames(const QString& source);
