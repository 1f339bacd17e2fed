#include "engine/InspectorSymbols.h"

#include "engine/JscPrivate.h"

#include <dlfcn.h>

#include <mutex>
#include <optional>

namespace {
std::optional<InspectorSymbols::Names>& namesForTesting() {
    static std::optional<InspectorSymbols::Names> names;
    return names;
}

// The library that defines the C API: its own exports, whatever else is loaded.
void* engineLibrary() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&JSEvaluateScript), &info) && info.dli_fname)
        if (void* handle = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD))
            return handle;
    return RTLD_DEFAULT;
}
} // namespace

InspectorSymbols::Names InspectorSymbols::defaultNames() {
    return {JscInspectorNames::kCStringFromChars, JscInspectorNames::kSetServerAddress,
            JscInspectorNames::kSingleton, JscInspectorNames::kStart};
}

const InspectorSymbols& InspectorSymbols::instance() {
    static const InspectorSymbols symbols(namesForTesting().value_or(defaultNames()));
    return symbols;
}

void InspectorSymbols::useNamesForTesting(const Names& names) {
    namesForTesting() = names;
}

InspectorSymbols::InspectorSymbols(const Names& names) {
    void* library = engineLibrary();
    void* found[4] = {};
    for (size_t i = 0; i < names.size(); ++i) {
        found[i] = dlsym(library, names[i].constData());
        if (!found[i]) {
            m_reason = QStringLiteral("调试器不可用：脚本引擎库中找不到 %1")
                           .arg(QString::fromLatin1(names[i]));
            return;
        }
    }
    m_makeCString = reinterpret_cast<MakeCString>(found[0]);
    m_setAddress = reinterpret_cast<SetAddress>(found[1]);
    m_singleton = reinterpret_cast<Singleton>(found[2]);
    m_start = reinterpret_cast<Start>(found[3]);
}

void InspectorSymbols::setServerAddress(const QByteArray& address) const {
    if (!available())
        return;
    // A CString is one pointer to its shared buffer; the call moves it out, so nothing is
    // left to release here.
    alignas(void*) void* text = nullptr;
    m_makeCString(&text, address.constData());
    m_setAddress(&text);
}

void InspectorSymbols::start() const {
    if (available())
        m_start(m_singleton());
}
