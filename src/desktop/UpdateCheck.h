#pragma once
// The update check without its windows: the record is parsed in the engine, its version
// compared with ours, and the fields the update window shows are gathered.

#include <QByteArray>
#include <QString>

struct UpdateInfo;

struct UpdateCheckResult {
    enum Outcome { Failed, Latest, Newer };
    Outcome outcome = Failed;
    QString reason; // for Failed: what went wrong, for the user
};

// Compared as single-precision numbers, as the version is kept; equal is not newer.
bool isNewerVersion(float candidate, float running);
// Two decimals: 2 reads "2.00", 2.345 reads "2.35".
QString formatVersion(float version);
// The record's bytes as text: UTF-8 when they are valid UTF-8, else GBK.
QString recordText(const QByteArray& body);

// A record longer than this is refused unread.
constexpr qint64 kMaxUpdateRecordBytes = 1024 * 1024;

// Parses the record and fills info: only the version when it is not newer, every field
// when it is; nothing when the record is unusable or the check was stopped. All engine
// work is one job on the script thread, waited for through the installed waiter.
UpdateCheckResult ReadUpdateRecord(const QString& text, float running, UpdateInfo& info);

// The text of the update window, lines ending in CR LF.
QString updateWindowText(const UpdateInfo& info);

// Only http and https addresses with a host are handed to the system's browser.
bool isWebAddress(const QString& address);
