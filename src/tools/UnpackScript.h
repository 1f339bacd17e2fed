#pragma once
// Peels packed, %-escaped and string-array layers off a script with the carried
// unpacker, which runs in the main engine beside the user's code.

#include "tools/CarriedScripts.h"

class ScriptHost;

// Adds the unpacker to the engine (always, also for an empty text).
void AddUnpacker(ScriptHost& host);
// unpacker_filter on the text; the text comes back unchanged when nothing was recognised.
ToolResult UnpackScript(ScriptHost& host, const QString& source);
