#include "analysis/CountWalk.h"

#include <array>
#include <cstring>
#include <vector>

namespace corvane {

namespace {

// Every byte as a double: one load in the walk instead of a conversion.
constexpr std::array<double, 256> kByteWeights = [] {
    std::array<double, 256> w{};
    for (std::size_t i = 0; i < w.size(); ++i) w[i] = static_cast<double>(i);
    return w;
}();

// Counts that all fit their byte: no spills.
struct ByteCounts {
    const std::uint8_t* low;
    void restart() {}
    std::int64_t operator()(std::int64_t k) const { return low[k]; }
    double weight(std::int64_t k) const { return kByteWeights[low[k]]; }
};

// Byte counts with spills, `spill` sorted: each entry adds 256 to its position.
struct SpilledByteCounts {
    const std::uint8_t* low;
    const std::uint32_t* spill;
    const std::uint32_t* spillEnd;
    const std::uint32_t* at = spill;
    void restart() { at = spill; }
    std::int64_t operator()(std::int64_t k) {
        std::int64_t c = low[k];
        while (at != spillEnd && *at == k) {
            c += 256;
            ++at;
        }
        return c;
    }
    double weight(std::int64_t k) { return static_cast<double>((*this)(k)); }
};

// The sum of the eight bytes at p.
inline std::int64_t ByteSum8(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    w = (w & 0x00FF00FF00FF00FFu) + ((w >> 8) & 0x00FF00FF00FF00FFu);   // four sums up to 510
    return static_cast<std::int64_t>((w * 0x0001000100010001u) >> 48);  // their sum, up to 2040
}

// Without spills the counts are plain bytes, skipped eight at a time up to each end. The walk
// finds this overload through its argument's type.
KeptEnds FindKeptEnds(ByteCounts& counts, std::int64_t positions, std::int64_t trimmed,
                      std::int64_t keepEnd) {
    const std::uint8_t* const low = counts.low;
    std::int64_t k = 0, below = 0;
    // The first position whose count takes the running total past `bound`.
    auto find = [&](std::int64_t bound) {
        for (std::int64_t block; k + 8 <= positions && below + (block = ByteSum8(low + k)) <= bound;
             k += 8)
            below += block;
        while (below + low[k] <= bound) below += low[k++];
    };
    KeptEnds ends;
    find(trimmed);
    ends.first = k;
    ends.belowFirst = below;
    find(keepEnd - 1);
    ends.last = k;
    ends.belowLast = below;
    return ends;
}

}  // namespace

GroupSums SumsFromCounts(const float* sorted, const DrawCounts& counts, double shift) {
    const auto n = static_cast<std::int64_t>(counts.size());
    if (counts.spill().empty()) {
        ByteCounts bytes{counts.low()};
        return WalkCounts(sorted, bytes, n, n, shift);
    }
    std::vector<std::uint32_t> spill(counts.spill());
    std::sort(spill.begin(), spill.end());
    SpilledByteCounts spilled{counts.low(), spill.data(), spill.data() + spill.size()};
    return WalkCounts(sorted, spilled, n, n, shift);
}

GroupSums SumsFromValueCounts(const float* values, const std::uint32_t* counts,
                              std::int64_t positions, std::int64_t n, double shift) {
    WholeCounts whole{counts};
    return WalkCounts(values, whole, positions, n, shift);
}

}  // namespace corvane
