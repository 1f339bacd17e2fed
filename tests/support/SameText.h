#pragma once
// Compares texts of any size; a failure names the lengths and the first difference
// instead of printing a megabyte.

#include <gtest/gtest.h>

#include <QString>

inline ::testing::AssertionResult sameText(const QString& actual, const QString& expected) {
    if (actual == expected)
        return ::testing::AssertionSuccess();
    qsizetype at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at])
        ++at;
    return ::testing::AssertionFailure()
           << "lengths " << actual.size() << " and " << expected.size() << ", first difference at "
           << at << ": \"" << actual.mid(at, 40).toStdString() << "\" instead of \""
           << expected.mid(at, 40).toStdString() << "\"";
}
