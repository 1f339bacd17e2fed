#pragma once
// Chinese descriptions of the engine's and the code tools' English error messages, for
// display. The table holds the messages people meet most; each entry is a pattern whose
// `{}` stands for a part taken over as it is (a name, a token) and `{*}` for a part that
// is described again (the rest of "JSON Parse error: …"). A message may be several
// sentences ("Unexpected token ';'. Expected ')' to end an argument list."): each known
// sentence is described, an unknown one ends the description. The original always
// follows in full-width parentheses, so nothing the engine said is lost.

#include <QList>
#include <QString>

#include <span>

struct ErrorText {
    const char* english; // the pattern as the engine writes it, without a closing period
    const char* chinese; // with the same placeholders in the same order
};

// The whole table. A pattern is tried before a shorter one it starts with; patterns that
// begin with a placeholder ("{} is not a function") are tried after all the others.
std::span<const ErrorText> errorTexts();

// "找不到变量：x（Can't find variable: x）"; a message the table does not know (a value the
// script threw, a text already in Chinese) comes back unchanged.
QString describeError(const QString& message);

// Indexes into errorTexts() of the entries that describe the message, sentence by
// sentence (placeholders described again included); empty for none.
QList<int> errorTextsUsed(const QString& message);
