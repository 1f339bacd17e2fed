#pragma once
// The fixed texts of the about and contact windows, lines joined by CR LF.

#include <QString>

// The maker's contact number, as the start-up line gives it.
inline constexpr char kContactNumber[] = "1029384756";

QString aboutNotes();
QString contactGreeting();
// The address that opens a chat with the maker.
QString contactAddress();
// CR LF as the labels show it: one line break.
QString shownLines(QString text);
