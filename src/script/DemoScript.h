#pragma once
// The demonstration script shown in the first editor at start-up: a constructor, a
// method, one function returning an object and one returning a text.

#include <QByteArray>

// The script's bytes in GBK; the window converts them to UTF-8 for the editor.
QByteArray demoScriptGbk();
