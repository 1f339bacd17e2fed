#pragma once
// Replacing matches of the search row in an editor. Matches are found exactly as the
// search finds them (the same modes and flags); a regular expression's replacement may
// name its groups as JavaScript writes them ($1 … $9, $& for the whole match, $$ for a
// dollar sign) and write \n, \r, \t and \\.

#include "editor/SearchRow.h"

#include <QByteArray>

#include <functional>

class CodeEditor;

struct ReplaceOutcome {
    int replaced = 0;
    bool badPattern = false; // a regular expression the editor cannot compile
};

// Every match in the editor replaced, in one undo step. An empty match (a `^`, a `x*`) is
// replaced once and the search goes on after the next character, as String.replace does.
ReplaceOutcome ReplaceAllIn(CodeEditor& editor, const QByteArray& needle,
                            const QByteArray& replacement, SearchRow::Mode mode);

// When the selection is exactly a match, replaces it (one undo step) and puts the caret
// after the new text; returns true then. Otherwise changes nothing.
bool ReplaceSelectionIn(CodeEditor& editor, const QByteArray& needle, const QByteArray& replacement,
                        SearchRow::Mode mode);

// The replacement text of a regular-expression match: `group(n)` gives group n's text
// (0: the whole match; empty for a group that took part in nothing).
QByteArray expandReplacement(const QByteArray& replacement,
                             const std::function<QByteArray(int)>& group);
