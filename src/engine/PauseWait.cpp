#include "engine/PauseWait.h"

#include <glib.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::atomic<bool> g_armed{false};
std::atomic<unsigned long long> g_waits{0};
std::mutex g_mutex;
std::condition_variable g_cv;
bool g_woken = false; // a wake not yet seen by the pause loop

using Iteration = gboolean (*)(GMainContext*, gboolean);

Iteration libraryIteration() {
    static const Iteration real = [] {
        auto fn = reinterpret_cast<Iteration>(dlsym(RTLD_NEXT, "g_main_context_iteration"));
        if (!fn) {
            void* glib = dlopen("libglib-2.0.so.0", RTLD_NOW | RTLD_NOLOAD);
            fn = glib ? reinterpret_cast<Iteration>(dlsym(glib, "g_main_context_iteration"))
                      : nullptr;
        }
        return fn;
    }();
    return real;
}

void waitSlice() {
    g_waits.fetch_add(1, std::memory_order_relaxed);
    std::unique_lock lock(g_mutex);
    g_cv.wait_for(lock, std::chrono::milliseconds(PauseWait::kSliceMs),
                  [] { return g_woken || !g_armed.load(); });
    g_woken = false;
}
} // namespace

namespace PauseWait {

void setArmed(bool armed) {
    g_armed.store(armed);
    if (!armed)
        wake();
}

bool armed() {
    return g_armed.load();
}

void wake() {
    {
        std::lock_guard lock(g_mutex);
        g_woken = true;
    }
    g_cv.notify_all();
}

unsigned long long waits() {
    return g_waits.load();
}

} // namespace PauseWait

// Takes the place of GLib's function for the whole process (see PauseWait.h).
extern "C" gboolean g_main_context_iteration(GMainContext* context, gboolean mayBlock) {
    if (!context && !mayBlock && g_armed.load(std::memory_order_relaxed))
        waitSlice();
    const Iteration real = libraryIteration();
    return real ? real(context, mayBlock) : FALSE;
}
