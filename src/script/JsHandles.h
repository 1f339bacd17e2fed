#pragma once
// Small RAII owners for JavaScriptCore handles. Each handle has exactly one owner
// and is released exactly once, on the thread that uses the engine.

#include <JavaScriptCore/JavaScript.h>

#include <QString>

// Declared by the library only in a private header; exported all the same.
extern "C" {
typedef bool (*JSShouldTerminateCallback)(JSContextRef ctx, void* context);
JS_EXPORT void JSContextGroupSetExecutionTimeLimit(JSContextGroupRef group, double limit,
                                                   JSShouldTerminateCallback callback,
                                                   void* context);
JS_EXPORT void JSContextGroupClearExecutionTimeLimit(JSContextGroupRef group);
}

// An owned JSStringRef. Converts from and to QString through UTF-16 with an explicit
// length, so NUL characters and surrogate pairs survive.
class JsString {
public:
    JsString() = default;
    explicit JsString(const QString& text)
        : m_ref(JSStringCreateWithCharacters(reinterpret_cast<const JSChar*>(text.utf16()),
                                             size_t(text.size()))) {}
    explicit JsString(const char* utf8) : m_ref(JSStringCreateWithUTF8CString(utf8)) {}
    static JsString adopt(JSStringRef ref) {
        JsString s;
        s.m_ref = ref;
        return s;
    }
    ~JsString() {
        if (m_ref)
            JSStringRelease(m_ref);
    }
    JsString(JsString&& other) noexcept : m_ref(other.m_ref) { other.m_ref = nullptr; }
    JsString& operator=(JsString&& other) noexcept {
        if (this != &other) {
            if (m_ref)
                JSStringRelease(m_ref);
            m_ref = other.m_ref;
            other.m_ref = nullptr;
        }
        return *this;
    }
    JsString(const JsString&) = delete;
    JsString& operator=(const JsString&) = delete;

    JSStringRef get() const { return m_ref; }
    QString toQString() const {
        if (!m_ref)
            return {};
        return QString(reinterpret_cast<const QChar*>(JSStringGetCharactersPtr(m_ref)),
                       qsizetype(JSStringGetLength(m_ref)));
    }

private:
    JSStringRef m_ref = nullptr;
};

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
