#include "engine/PauseWait.h"

#include "engine/ScriptThread.h"

#include <glib.h>

#include <JavaScriptCore/JavaScript.h>

#include <dlfcn.h>
#include <elf.h>
#include <link.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>

namespace {
std::atomic<bool> g_paused{false};
std::atomic<unsigned long long> g_waits{0};
std::mutex g_mutex;
std::condition_variable g_cv;

using Iteration = gboolean (*)(GMainContext*, gboolean);

// GLib's function, as the engine library's slot held it before the hook went in.
std::atomic<Iteration> g_library{nullptr};

gboolean engineIteration(GMainContext* context, gboolean mayBlock);

#if defined(__x86_64__)
constexpr unsigned kJumpSlot = R_X86_64_JUMP_SLOT;
#elif defined(__aarch64__)
constexpr unsigned kJumpSlot = R_AARCH64_JUMP_SLOT;
#endif

struct Slot {
    void** address = nullptr;
    bool readOnly = false; // in the part the loader protects after binding
};

// The engine library's slot for an imported function: the address its calls jump through
// (none when the library does not import it through a slot).
Slot importSlot(const char* name) {
    Dl_info info{};
#if defined(__x86_64__) || defined(__aarch64__)
    if (!dladdr(reinterpret_cast<void*>(&JSEvaluateScript), &info) || !info.dli_fbase)
        return {};
    struct Search {
        const char* name;
        ElfW(Addr) base;
        Slot slot;
    } search{name, reinterpret_cast<ElfW(Addr)>(info.dli_fbase), {}};
    dl_iterate_phdr(
        [](dl_phdr_info* lib, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            if (lib->dlpi_addr != s->base)
                return 0;
            const ElfW(Dyn)* dynamic = nullptr;
            const ElfW(Phdr)* relro = nullptr;
            for (int i = 0; i < lib->dlpi_phnum; ++i) {
                if (lib->dlpi_phdr[i].p_type == PT_DYNAMIC)
                    dynamic = reinterpret_cast<const ElfW(Dyn)*>(lib->dlpi_addr +
                                                                 lib->dlpi_phdr[i].p_vaddr);
                if (lib->dlpi_phdr[i].p_type == PT_GNU_RELRO)
                    relro = &lib->dlpi_phdr[i];
            }
            if (!dynamic)
                return 1;
            ElfW(Addr) relocations = 0, symbols = 0, strings = 0;
            size_t size = 0;
            // The loader may or may not have moved these addresses by the load base.
            auto address = [&](ElfW(Addr) a) {
                return a < lib->dlpi_addr ? a + lib->dlpi_addr : a;
            };
            for (const ElfW(Dyn)* d = dynamic; d->d_tag != DT_NULL; ++d) {
                switch (d->d_tag) {
                case DT_JMPREL:
                    relocations = address(d->d_un.d_ptr);
                    break;
                case DT_PLTRELSZ:
                    size = d->d_un.d_val;
                    break;
                case DT_SYMTAB:
                    symbols = address(d->d_un.d_ptr);
                    break;
                case DT_STRTAB:
                    strings = address(d->d_un.d_ptr);
                    break;
                default:
                    break;
                }
            }
            if (!relocations || !symbols || !strings)
                return 1;
            const auto* rel = reinterpret_cast<const ElfW(Rela)*>(relocations);
            const auto* sym = reinterpret_cast<const ElfW(Sym)*>(symbols);
            const auto* str = reinterpret_cast<const char*>(strings);
            for (size_t i = 0; i < size / sizeof(ElfW(Rela)); ++i) {
                if (ELF64_R_TYPE(rel[i].r_info) != kJumpSlot ||
                    std::strcmp(str + sym[ELF64_R_SYM(rel[i].r_info)].st_name, s->name) != 0)
                    continue;
                s->slot.address = reinterpret_cast<void**>(lib->dlpi_addr + rel[i].r_offset);
                s->slot.readOnly = relro && rel[i].r_offset >= relro->p_vaddr &&
                                   rel[i].r_offset < relro->p_vaddr + relro->p_memsz;
                break;
            }
            return 1;
        },
        &search);
    return search.slot;
#else
    (void)name;
    return {};
#endif
}

// Puts engineIteration into the engine library's slot. The slot sits in memory the loader
// made read-only after binding: it is opened for the one write.
bool install() {
    const Slot slot = importSlot("g_main_context_iteration");
    if (!slot.address || !*slot.address)
        return false;
    const auto page = uintptr_t(sysconf(_SC_PAGESIZE));
    auto* first = reinterpret_cast<void*>(reinterpret_cast<uintptr_t>(slot.address) & ~(page - 1));
    if (slot.readOnly && mprotect(first, page, PROT_READ | PROT_WRITE) != 0)
        return false;
    g_library.store(reinterpret_cast<Iteration>(*slot.address));
    __atomic_store_n(slot.address, reinterpret_cast<void*>(&engineIteration), __ATOMIC_RELEASE);
    if (slot.readOnly)
        mprotect(first, page, PROT_READ);
    return true;
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

bool installed() {
    static const bool done = install();
    return done;
}

} // namespace PauseWait

namespace {
// Only the engine library's calls come here: the pause loop's cycle of the default
// context, non-blocking, on the script thread, waits first while a pause is in progress.
gboolean engineIteration(GMainContext* context, gboolean mayBlock) {
    if (!context && !mayBlock && g_paused.load(std::memory_order_relaxed) &&
        ScriptThread::instance().isCurrent())
        waitSlice();
    return g_library.load(std::memory_order_relaxed)(context, mayBlock);
}
} // namespace
