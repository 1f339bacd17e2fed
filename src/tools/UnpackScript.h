#pragma once
// Peels packed, %-escaped and string-array layers off a script with the carried
// unpacker. The packer's decoder is the script's own code, so each unpack runs in an
// engine of its own: no host objects, a time limit and the user's "停止".

#include "tools/CarriedScripts.h"

class ScriptHost;

// The limit of one unpack when none is given: the deobfuscator's sandbox limit.
double defaultUnpackSeconds();

// Adds the unpacker's definitions to an engine (always, also for an empty text).
void AddUnpacker(ScriptHost& host);
// unpacker_filter on the text in the sandbox; the text comes back unchanged when nothing
// was recognised. A time-out says "超时"; too many layers, or a layer whose code exceeds
// the read cap, end the unpack with the reason. limitSeconds <= 0 takes the default.
ToolResult UnpackScript(const QString& source, double limitSeconds = 0.0);
