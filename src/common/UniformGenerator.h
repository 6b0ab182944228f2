#pragma once

#include <cstdint>

namespace corvane {

// xoshiro256** seeded through splitmix64. next() yields u with 0 < u < 1: 52 random bits k give
// u = (k + 0.5) / 2^52, evenly spaced, and k + 0.5 is exact in double precision so neither end
// can occur.
class UniformGenerator {
  public:
    explicit UniformGenerator(std::uint64_t seed = 0) { reseed(seed); }

    void reseed(std::uint64_t seed);

    // The stream of draws numbered `stream` under `seed`: its draws depend on the two numbers
    // alone, so streams can be drawn on any thread in any order. Distinct streams start from
    // unrelated states (the pair is hashed, not added).
    static UniformGenerator ForStream(std::uint64_t seed, std::uint64_t stream);
    std::uint64_t seed() const { return m_seed; }

    std::uint64_t nextBits() {
        const std::uint64_t result = rotl(m_s[1] * 5, 7) * 9;
        const std::uint64_t t = m_s[1] << 17;
        m_s[2] ^= m_s[0];
        m_s[3] ^= m_s[1];
        m_s[1] ^= m_s[2];
        m_s[0] ^= m_s[3];
        m_s[2] ^= t;
        m_s[3] = rotl(m_s[3], 45);
        return result;
    }

    double next() { return ToUnit(nextBits()); }

    // The u of 64 random bits: their top 52 bits k give (k + 0.5) / 2^52.
    static double ToUnit(std::uint64_t bits) {
        return (static_cast<double>(bits >> 12) + 0.5) * 0x1.0p-52;
    }

    // A seed from the clock, for the desktop program and the batch tool without --seed.
    static std::uint64_t ClockSeed();

  private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t m_s[4] = {};
    std::uint64_t m_seed = 0;
};

}  // namespace corvane
