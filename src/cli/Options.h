#pragma once

#include <QString>

constexpr int kUsageError = 2;

// "--timeout SECONDS": a positive number; prints a message and returns false otherwise.
bool parseTimeout(const QString& text, double& seconds);
// "--max-line N": a positive whole number; prints a message and returns false otherwise.
bool parseLineLimit(const QString& text, qsizetype& limit);
