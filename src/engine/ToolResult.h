#pragma once
// The outcome of a code tool: either its text or why it could not make one. The caller
// never gets an empty text in place of a failure.

#include <QString>

struct ToolResult {
    bool ok = false;
    QString text;
    QString error; // the engine's description (or the thrown message) on failure

    static ToolResult success(QString text) { return {true, std::move(text), {}}; }
    static ToolResult failure(QString error) { return {false, {}, std::move(error)}; }
};
