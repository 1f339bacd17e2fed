#pragma once
// The random numbers of the user's code under fixed time and random numbers: one stream
// from the seed for Math.random() and for random bytes (crypto.getRandomValues), the same
// on every run with the same seed. Without a seed the stream comes from the system.

#include <QtGlobal>

#include <optional>

class SeededRandom {
public:
    explicit SeededRandom(std::optional<quint64> seed);

    bool isSeeded() const { return m_seeded; }
    // In [0, 1), with 53 random bits.
    double nextDouble();
    void fill(uchar* bytes, size_t count);

private:
    quint64 next();

    bool m_seeded;
    quint64 m_state[2] = {0, 0};
};
