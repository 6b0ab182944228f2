#include "analysis/DrawCounts.h"

#include <algorithm>

namespace corvane {

void DrawCounts::clear() {
    std::fill(m_low.begin(), m_low.end(), std::uint8_t{0});
    m_spill.clear();
}

void DrawCounts::spill(std::size_t position) {
    m_spill.push_back(static_cast<std::uint32_t>(position));
}

void DrawCounts::draw(UniformGenerator& rng) {
    // The generator and the byte pointer are local: a byte store may alias anything, which
    // would send the generator's state through memory at every draw.
    UniformGenerator local = rng;
    std::uint8_t* const low = m_low.data();
    const auto n = static_cast<std::int64_t>(m_low.size());
    const double nScaled = static_cast<double>(n) * 0x1.0p-52;
    for (std::int64_t j = 0; j < n; ++j) {
        count(low, static_cast<std::size_t>(DrawnPosition(local.nextBits(), nScaled) - 1));
    }
    rng = local;
}

}  // namespace corvane
