#include "engine/SeededRandom.h"

#include <QRandomGenerator>

namespace {
// Spreads a seed over the generator's state (so seeds 0, 1, 2 start far apart).
quint64 splitMix(quint64& x) {
    quint64 z = (x += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}
} // namespace

SeededRandom::SeededRandom(std::optional<quint64> seed) : m_seeded(seed.has_value()) {
    if (!seed)
        return;
    quint64 x = *seed;
    m_state[0] = splitMix(x);
    m_state[1] = splitMix(x);
}

quint64 SeededRandom::next() {
    if (!m_seeded)
        return QRandomGenerator::global()->generate64();
    // xorshift128+
    quint64 s1 = m_state[0];
    const quint64 s0 = m_state[1];
    m_state[0] = s0;
    s1 ^= s1 << 23;
    m_state[1] = s1 ^ s0 ^ (s1 >> 17) ^ (s0 >> 26);
    return m_state[1] + s0;
}

double SeededRandom::nextDouble() {
    return double(next() >> 11) * (1.0 / 9007199254740992.0);
}

void SeededRandom::fill(uchar* bytes, size_t count) {
    for (size_t i = 0; i < count; i += 8) {
        const quint64 v = next();
        for (size_t b = 0; b < 8 && i + b < count; ++b)
            bytes[i + b] = uchar(v >> (8 * b));
    }
}
