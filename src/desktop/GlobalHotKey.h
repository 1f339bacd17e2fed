#pragma once
// A key combination that reaches the workbench wherever the focus is on the desktop.
// On X11 it is a key grab on the root window; where there is no X11 (Wayland, the
// offscreen platform) registration fails quietly and nothing else changes.

#include <QAbstractNativeEventFilter>
#include <QObject>

#include <functional>
#include <memory>

class GlobalHotKey : public QObject {
    Q_OBJECT
public:
    // Modifier bits as the workbench names them.
    enum Modifier : unsigned { Alt = 1, Control = 2, Shift = 4, Super = 8 };

    explicit GlobalHotKey(QObject* parent = nullptr);
    ~GlobalHotKey() override;

    // Grabs modifiers + key (an upper-case letter or a digit, as its character code) and
    // runs action, after the key event has been handled, whenever it is pressed. False
    // when the key is taken by another program or there is no X11 display; nothing is
    // grabbed then.
    bool RegisterToggleHotKey(unsigned modifiers, int keyCode, std::function<void()> action);
    bool isRegistered() const;

private:
    class X11Grab;
    std::unique_ptr<X11Grab> m_grab;
};
