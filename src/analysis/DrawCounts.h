#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/UniformGenerator.h"

namespace corvane {

// The 1-based position ceil(u * n) of the ascending copy that the draw u =
// UniformGenerator::ToUnit(bits) picks, with `nScaled` = n / 2^52. u * n is taken as
// (k + 0.5) * nScaled: a power of two moves between the factors without changing the rounded
// product, and one multiplication per draw is saved.
inline std::int64_t DrawnPosition(std::uint64_t bits, double nScaled) {
    const double x = (static_cast<double>(bits >> 12) + 0.5) * nScaled;
    // For 0 < x, ceil(x) is the truncation of x, plus one when x has a fraction; the library's
    // ceil is a function call on the baseline instruction set, and this runs once per draw.
    // No clamp is needed: (k + 0.5) / 2^52 lies strictly inside (0, 1), so the exact product
    // lies strictly inside (0, n), and rounding it to the nearest double cannot pass n, which
    // is a double itself; ceil then gives 1 to n.
    auto p = static_cast<std::int64_t>(x);
    p += static_cast<double>(p) < x ? 1 : 0;
    return p;
}

// The draw counts of one resample, one byte per position of the ascending copy: a position
// drawn 256 times or more is also listed in the spill list once for every 256 of its draws. At
// n draws over n positions a count above 255 all but never occurs, so the walk reads the bytes
// alone, and a group of a million values keeps its counts in 1 MB rather than 4.
class DrawCounts {
  public:
    explicit DrawCounts(std::size_t positions = 0) : m_low(positions, 0) {}

    std::size_t size() const { return m_low.size(); }
    // One more draw of the 0-based `position`: the step draw() takes for each of its draws.
    // Counts placed one by one reach the spill list, which n random draws all but never do.
    void add(std::size_t position) { count(m_low.data(), position); }
    // Draws the positions of one resample of size() values from `rng` and counts them.
    void draw(UniformGenerator& rng);
    void clear();

    const std::uint8_t* low() const { return m_low.data(); }
    // The spilled positions in the order their 256th draws came.
    const std::vector<std::uint32_t>& spill() const { return m_spill; }

  private:
    // `low` is m_low's data, passed in so that draw() can hold it in a register.
    void count(std::uint8_t* low, std::size_t position) {
        if (++low[position] == 0) spill(position);
    }
    void spill(std::size_t position);  // out of line: the draw loop stays small

    std::vector<std::uint8_t> m_low;
    std::vector<std::uint32_t> m_spill;
};

}  // namespace corvane
