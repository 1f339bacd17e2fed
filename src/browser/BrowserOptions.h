#pragma once
// How the user's code is run when "浏览器环境" is on: the page it pretends to be on, the
// browser it pretends to be, the user's own environment code, and whether accesses are
// recorded ("环境监控").

#include <QString>

struct BrowserOptions {
    // The address location and document.URL show when none is set or read.
    static QString defaultPageUrl() { return QStringLiteral("https://www.example.com/"); }

    bool enabled = false;
    bool monitor = false;
    QString pageUrl; // empty: defaultPageUrl()
    QString referrer;
    QString userAgent;       // empty: the environment's desktop Chrome
    QString environmentCode; // run after the environment, before the page's script

    // The settings the environment script reads (vexoHost.browser), as JSON.
    QString settingsJson() const;
};
