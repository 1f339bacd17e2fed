#include "desktop/GlobalHotKey.h"

#include <QGuiApplication>
#include <QTimer>

#ifdef VEXO_HAVE_XCB
#include <xcb/xcb.h>
#include <xcb/xproto.h>

#include <algorithm>
#include <cstdlib>
#include <vector>
#endif

#ifdef VEXO_HAVE_XCB
namespace {
// The keycodes that produce the keysym in any column of the keyboard map.
std::vector<xcb_keycode_t> keycodesFor(xcb_connection_t* c, xcb_keysym_t keysym) {
    std::vector<xcb_keycode_t> found;
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int first = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, xcb_keycode_t(first), quint8(count)), nullptr);
    if (!map)
        return found;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
    const int perCode = map->keysyms_per_keycode;
    for (int i = 0; i < count; ++i)
        for (int j = 0; j < perCode; ++j)
            if (syms[i * perCode + j] == keysym) {
                found.push_back(xcb_keycode_t(first + i));
                break;
            }
    std::free(map);
    return found;
}

// The modifier bit NumLock is mapped to (usually Mod2); 0 when it is not mapped.
quint16 numLockMask(xcb_connection_t* c) {
    constexpr xcb_keysym_t kNumLock = 0xff7f;
    const std::vector<xcb_keycode_t> numLock = keycodesFor(c, kNumLock);
    xcb_get_modifier_mapping_reply_t* mods =
        xcb_get_modifier_mapping_reply(c, xcb_get_modifier_mapping(c), nullptr);
    if (!mods)
        return 0;
    quint16 mask = 0;
    const xcb_keycode_t* codes = xcb_get_modifier_mapping_keycodes(mods);
    const int perModifier = mods->keycodes_per_modifier;
    for (int m = 0; m < 8 && !mask; ++m)
        for (int k = 0; k < perModifier; ++k)
            for (xcb_keycode_t n : numLock)
                if (n && codes[m * perModifier + k] == n)
                    mask = quint16(1u << m);
    std::free(mods);
    return mask;
}

quint16 xcbModifiers(unsigned modifiers) {
    quint16 mask = 0;
    if (modifiers & GlobalHotKey::Alt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & GlobalHotKey::Control)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & GlobalHotKey::Shift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & GlobalHotKey::Super)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

// Letters are registered by their upper-case character; the keysym is the lower-case one.
xcb_keysym_t keysymFor(int keyCode) {
    if (keyCode >= 'A' && keyCode <= 'Z')
        return xcb_keysym_t(keyCode - 'A' + 'a');
    if (keyCode >= '0' && keyCode <= '9')
        return xcb_keysym_t(keyCode);
    return 0;
}
} // namespace

class GlobalHotKey::X11Grab : public QAbstractNativeEventFilter {
public:
    ~X11Grab() override {
        QCoreApplication* app = QCoreApplication::instance();
        if (app)
            app->removeNativeEventFilter(this);
        ungrab();
    }

    bool grab(unsigned modifiers, int keyCode) {
        auto* x11 =
            qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
        m_connection = x11 ? x11->connection() : nullptr;
        const xcb_keysym_t keysym = keysymFor(keyCode);
        if (!m_connection || !keysym)
            return false;
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        m_modifiers = xcbModifiers(modifiers);
        const std::vector<xcb_keycode_t> codes = keycodesFor(m_connection, keysym);
        if (codes.empty())
            return false;
        m_keycode = codes.front();
        // The grab matches the modifier state exactly, so the combination is grabbed once
        // for each state of CapsLock and NumLock.
        const quint16 numLock = numLockMask(m_connection);
        for (quint16 locks : {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock,
                              quint16(XCB_MOD_MASK_LOCK | numLock)}) {
            if (std::find(m_variants.begin(), m_variants.end(), locks) != m_variants.end())
                continue;
            xcb_void_cookie_t cookie =
                xcb_grab_key_checked(m_connection, 1, m_root, quint16(m_modifiers | locks),
                                     m_keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
            if (xcb_generic_error_t* error = xcb_request_check(m_connection, cookie)) {
                std::free(error); // taken by another program
                ungrab();
                return false;
            }
            m_variants.push_back(locks);
        }
        xcb_flush(m_connection);
        m_ignored = quint16(XCB_MOD_MASK_LOCK | numLock);
        QCoreApplication::instance()->installNativeEventFilter(this);
        return true;
    }

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr*) override {
        if (type != "xcb_generic_event_t")
            return false;
        auto* event = static_cast<xcb_generic_event_t*>(message);
        const quint8 kind = event->response_type & 0x7f;
        if (kind != XCB_KEY_PRESS && kind != XCB_KEY_RELEASE)
            return false;
        auto* key = reinterpret_cast<xcb_key_press_event_t*>(event);
        if (key->detail != m_keycode)
            return false;
        if (kind == XCB_KEY_RELEASE) {
            // The grab lasts until the key goes up and reports to our own windows first,
            // so the release arrives here on the root or on the window that has focus.
            m_down = false;
            m_releasedAt = key->time;
            return key->event == m_root;
        }
        if (key->event != m_root)
            return false;
        if ((key->state & ~m_ignored & 0xff) != m_modifiers)
            return false;
        // A held key repeats: as presses while it is down, or (without detectable repeat)
        // as a release and a press with the same time. One hold is one toggle.
        const bool repeat = m_down || key->time == m_releasedAt;
        m_down = true;
        // Like a posted message: the action runs once this event has been handled.
        if (action && !repeat)
            QTimer::singleShot(0, qApp, action);
        return true;
    }

    std::function<void()> action;

private:
    void ungrab() {
        if (!m_connection)
            return;
        for (quint16 locks : m_variants)
            xcb_ungrab_key(m_connection, m_keycode, m_root, quint16(m_modifiers | locks));
        if (!m_variants.empty())
            xcb_flush(m_connection);
        m_variants.clear();
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_window_t m_root = 0;
    xcb_keycode_t m_keycode = 0;
    quint16 m_modifiers = 0;
    quint16 m_ignored = 0;
    std::vector<quint16> m_variants;
    bool m_down = false;
    xcb_timestamp_t m_releasedAt = 0;
};
#else
class GlobalHotKey::X11Grab {
public:
    bool grab(unsigned, int) { return false; }
    std::function<void()> action;
};
#endif

GlobalHotKey::GlobalHotKey(QObject* parent) : QObject(parent) {}

GlobalHotKey::~GlobalHotKey() = default;

bool GlobalHotKey::RegisterToggleHotKey(unsigned modifiers, int keyCode,
                                        std::function<void()> action) {
    auto grab = std::make_unique<X11Grab>();
    if (!grab->grab(modifiers, keyCode))
        return false;
    grab->action = std::move(action);
    m_grab = std::move(grab);
    return true;
}

bool GlobalHotKey::isRegistered() const {
    return m_grab != nullptr;
}
