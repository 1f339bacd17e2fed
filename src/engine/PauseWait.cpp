#include "engine/PauseWait.h"

#include "engine/ScriptThread.h"

#include <glib.h>

#include <dlfcn.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace {
std::atomic<bool> g_paused{false};
std::atomic<unsigned long long> g_waits{0};
std::mutex g_mutex;
std::condition_variable g_cv;

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
                  [] { return !g_paused.load(); });
}
} // namespace

namespace PauseWait {

void setPaused(bool paused) {
    {
        std::lock_guard lock(g_mutex);
        g_paused.store(paused);
    }
    if (!paused)
        g_cv.notify_all();
}

bool paused() {
    return g_paused.load();
}

unsigned long long waits() {
    return g_waits.load();
}

} // namespace PauseWait

// Takes the place of GLib's function for the whole process (see PauseWait.h).
extern "C" gboolean g_main_context_iteration(GMainContext* context, gboolean mayBlock) {
    if (!context && !mayBlock && g_paused.load(std::memory_order_relaxed) &&
        ScriptThread::instance().isCurrent())
        waitSlice();
    const Iteration real = libraryIteration();
    return real ? real(context, mayBlock) : FALSE;
}
