#pragma once
// Hands web addresses to the system's browser.

#include <QString>

// Opens an http or https address; anything else is refused (false) and not opened.
bool openWebAddress(const QString& address);
