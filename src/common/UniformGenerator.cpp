#include "common/UniformGenerator.h"

#include <chrono>

namespace corvane {

namespace {

std::uint64_t Mix(std::uint64_t x) {
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ULL;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebULL;
    return x ^ (x >> 31);
}

}  // namespace

UniformGenerator UniformGenerator::ForStream(std::uint64_t seed, std::uint64_t stream) {
    UniformGenerator g;
    g.reseed(Mix(seed ^ Mix(stream + 0x9e3779b97f4a7c15ULL)));
    g.m_seed = seed;
    return g;
}

void UniformGenerator::reseed(std::uint64_t seed) {
    m_seed = seed;
    std::uint64_t z = seed;
    for (auto& s : m_s) {
        z += 0x9e3779b97f4a7c15ULL;
        s = Mix(z);
    }
}

std::uint64_t UniformGenerator::ClockSeed() {
    const auto now = std::chrono::high_resolution_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
}

}  // namespace corvane
