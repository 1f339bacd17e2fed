#pragma once
// While the engine's debugger holds a script at a pause, the script thread runs the
// engine's pause loop: it cycles the process's default main context without blocking
// until a command ends the pause. In the window that context belongs to the GUI thread,
// so each cycle returns at once and the loop spins a core. This program therefore
// provides the one function that loop calls, g_main_context_iteration, in front of the
// library's: a non-blocking cycle of the default context (only the pause loop asks for
// that) waits on a condition first while a pause may be in progress, up to kSliceMs or
// until wake(). Every other call goes straight to the library.

namespace PauseWait {

inline constexpr int kSliceMs = 50;

// On while a debugger is attached to an engine context (a pause can happen).
void setArmed(bool armed);
bool armed();
// Ends the current wait at once (a command that resumes the script was handled).
void wake();
// How many waits the pause loop went through (tests and benchmarks).
unsigned long long waits();

} // namespace PauseWait
