#pragma once
// While the engine's debugger holds a script at a pause, the script thread runs the
// engine's pause loop: it cycles the process's default main context without blocking
// until a command ends the pause. In the window that context belongs to the GUI thread,
// so each cycle returns at once and the loop spins a core. The loop names no context of
// its own (it cycles the default one, which the script thread cannot own), so the wait
// goes where the engine library calls g_main_context_iteration: its import slot for that
// function is pointed at ours, and only the engine library's calls pass through it. While
// a pause is in progress, a non-blocking cycle of the default context on the script
// thread (the pause loop's) waits on a condition first, up to kSliceMs or until the pause
// ends. Every other call goes straight on to GLib: other threads, blocking cycles, other
// contexts and everything outside a pause; the rest of the process never comes here.

namespace PauseWait {

inline constexpr int kSliceMs = 50;

// On from the engine's report of a pause until a command that ends it has been handled
// (or the report that the script goes on).
void setPaused(bool paused);
bool paused();
// How many waits the pause loop went through (tests and benchmarks).
unsigned long long waits();
// Puts the wait in front of the engine library's calls (once; later calls only answer).
// False when the library's import of the function cannot be found or changed: pauses then
// cost the engine's own loop.
bool installed();

} // namespace PauseWait
