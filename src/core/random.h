#pragma once

#include <cstdint>

/// The program's one 32-bit linear congruential generator.
class Random
{
public:
    explicit Random(std::uint32_t seed = 0) : m_seed(seed) { }

    void setSeed(std::uint32_t seed) { m_seed = seed; }
    std::uint32_t seed() const { return m_seed; }

    /// Advances the seed, then returns a uniform integer in [0, n).
    std::uint32_t draw(std::uint32_t n)
    {
        m_seed = m_seed * 134775813U + 1U;
        return static_cast<std::uint32_t>((static_cast<std::uint64_t>(n) * m_seed) >> 32);
    }

private:
    std::uint32_t m_seed;
};

/// The generator every draw of the program comes from; seeded once at start-up.
Random &programRandom();
