#pragma once
// Turns fuzz bytes into a JavaScript program: every byte is a decision (which statement,
// which operator, where a comment or a line break goes), so a mutated input is a
// neighbouring program. Programs are meant to be valid; the few that are not are told
// apart by the syntax check of the harness.

#include <cstddef>
#include <cstdint>
#include <string>

class ByteChoices {
public:
    ByteChoices(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    // A choice in [0, count); once the bytes are used up, always 0 (the simplest form).
    unsigned pick(unsigned count);
    bool chance(unsigned inEight) { return pick(8) < inEight; }
    bool exhausted() const { return m_at >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

// A whole script of top-level statements.
std::string generateProgram(ByteChoices& in);
// One expression (what a user types into the evaluation box).
std::string generateExpression(ByteChoices& in);
