#pragma once
// Finds a window's control by the name the window gives it.

#include <QString>
#include <QWidget>

template <typename W = QWidget> W* control(QWidget& window, const char* name) {
    return window.findChild<W*>(QString::fromUtf8(name));
}
