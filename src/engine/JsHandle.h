#pragma once
// One owner for every JavaScriptCore handle. Each handle has exactly one owner and is
// released exactly once, on the thread that uses the engine. A kind of handle is a traits
// type (how to make, retain and release it); the aliases below name the kinds in use.

#include <JavaScriptCore/JavaScript.h>

#include <QString>

#include <utility>

template <typename Traits> class JsHandle {
public:
    using Ref = typename Traits::Ref;

    JsHandle() = default;
    // Makes a new handle from the kind's creation arguments (JsString(text), ...).
    template <typename... Args>
    requires(sizeof...(Args) > 0 &&
             requires(Args && ... a) { Traits::create(a...); }) explicit JsHandle(Args&&... args)
        : m_ref(Traits::create(std::forward<Args>(args)...)) {}
    // A handle made without arguments (a context group).
    static JsHandle create() requires requires { Traits::create(); }
    { return adopt(Traits::create()); }
    // Takes over a reference the caller owns (a Copy or Create result).
    static JsHandle adopt(Ref ref) {
        JsHandle h;
        h.m_ref = ref;
        return h;
    }
    // A further reference to a handle someone else owns.
    static JsHandle retain(Ref ref) requires requires { Traits::retain(ref); }
    { return adopt(ref ? Traits::retain(ref) : Ref{}); }

    ~JsHandle() { reset(); }
    JsHandle(JsHandle&& other) noexcept : m_ref(std::exchange(other.m_ref, Ref{})) {}
    JsHandle& operator=(JsHandle&& other) noexcept {
        if (this != &other) {
            reset();
            m_ref = std::exchange(other.m_ref, Ref{});
        }
        return *this;
    }
    JsHandle(const JsHandle&) = delete;
    JsHandle& operator=(const JsHandle&) = delete;

    Ref get() const { return m_ref; }
    explicit operator bool() const { return bool(m_ref); }
    // Gives up ownership without releasing (for a release carried to another thread).
    Ref release() { return std::exchange(m_ref, Ref{}); }
    void reset() {
        if (m_ref)
            Traits::release(std::exchange(m_ref, Ref{}));
    }

    // Strings only: the text through UTF-16 with its explicit length, so NUL characters
    // and surrogate pairs survive.
    QString toQString() const requires std::is_same_v<Ref, JSStringRef> {
        if (!m_ref)
            return {};
        return QString(reinterpret_cast<const QChar*>(JSStringGetCharactersPtr(m_ref)),
                       qsizetype(JSStringGetLength(m_ref)));
    }

private:
    Ref m_ref{};
};

struct JsStringTraits {
    using Ref = JSStringRef;
    static Ref create(const QString& text) {
        return JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(text.utf16()),
                                            size_t(text.size()));
    }
    static Ref create(const char* utf8) { return JSStringCreateWithUTF8CString(utf8); }
    static Ref retain(Ref ref) { return JSStringRetain(ref); }
    static void release(Ref ref) { JSStringRelease(ref); }
};

struct JsContextGroupTraits {
    using Ref = JSContextGroupRef;
    static Ref create() { return JSContextGroupCreate(); }
    static Ref retain(Ref ref) { return JSContextGroupRetain(ref); }
    static void release(Ref ref) { JSContextGroupRelease(ref); }
};

struct JsGlobalContextTraits {
    using Ref = JSGlobalContextRef;
    // A global context with fresh built-ins in the given group.
    static Ref create(JSContextGroupRef group) {
        return JSGlobalContextCreateInGroup(group, nullptr);
    }
    static Ref retain(Ref ref) { return JSGlobalContextRetain(ref); }
    static void release(Ref ref) { JSGlobalContextRelease(ref); }
};

struct JsPropertyNamesTraits {
    using Ref = JSPropertyNameArrayRef;
    // The object's enumerable property names.
    static Ref create(JSContextRef ctx, JSObjectRef object) {
        return JSObjectCopyPropertyNames(ctx, object);
    }
    static Ref retain(Ref ref) { return JSPropertyNameArrayRetain(ref); }
    static void release(Ref ref) { JSPropertyNameArrayRelease(ref); }
};

// A value kept from collection, with the global context it belongs to kept alive too.
struct JsProtectedRef {
    JSGlobalContextRef context = nullptr;
    JSValueRef value = nullptr;
    explicit operator bool() const { return value != nullptr; }
};

struct JsProtectedTraits {
    using Ref = JsProtectedRef;
    static Ref create(JSContextRef ctx, JSValueRef value) {
        JSGlobalContextRef global = JSGlobalContextRetain(JSContextGetGlobalContext(ctx));
        JSValueProtect(global, value);
        return {global, value};
    }
    static void release(Ref ref) {
        JSValueUnprotect(ref.context, ref.value);
        JSGlobalContextRelease(ref.context);
    }
};

using JsString = JsHandle<JsStringTraits>;
using JsContextGroup = JsHandle<JsContextGroupTraits>;
using JsGlobalContext = JsHandle<JsGlobalContextTraits>;
using JsPropertyNames = JsHandle<JsPropertyNamesTraits>;
using JsProtected = JsHandle<JsProtectedTraits>;

// Converts any value to text the way String(value) would; empty when that throws.
inline QString jsValueToQString(JSContextRef ctx, JSValueRef value, bool* ok = nullptr) {
    JSValueRef exception = nullptr;
    JSStringRef s = JSValueToStringCopy(ctx, value, &exception);
    if (ok)
        *ok = s && !exception;
    if (!s)
        return {};
    return JsString::adopt(s).toQString();
}

inline JSValueRef jsMakeString(JSContextRef ctx, const QString& text) {
    JsString s(text);
    return JSValueMakeString(ctx, s.get());
}

// Reads a property; returns nullptr (and swallows the exception) when the read throws.
inline JSValueRef jsGetProperty(JSContextRef ctx, JSObjectRef object, const QString& name) {
    JsString key(name);
    JSValueRef exception = nullptr;
    JSValueRef v = JSObjectGetProperty(ctx, object, key.get(), &exception);
    return exception ? nullptr : v;
}
