#pragma once

#include <QStringList>

// vexojs-cli snippet python|node|go|curl [--url URL] [--token T] EXPRESSION
// Prints the caller code for the call service that "生成Python代码" copies.
int runSnippetCommand(const QStringList& args);
