#pragma once

#include <QStringList>

// vexojs-cli serve [--load FILE|URL]... [--port N] [--host ADDR] [--workers N]
//                  [--timeout S] [--token T] [--queue N]
// Runs until SIGINT or SIGTERM, then answers the calls in flight and ends with status 0.
int runServeCommand(const QStringList& args);
