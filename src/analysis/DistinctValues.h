#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "analysis/ValueTally.h"
#include "common/BinomialDraw.h"
#include "common/UniformGenerator.h"

namespace corvane {

// A group as its distinct values, ascending, and how often each occurs: for a group of few
// distinct values against its size (Likert items, binary outcomes, counts, scores rounded to
// an instrument's precision) the whole of what a resample can differ in. -0 and +0 are one
// value, as they are to the sort and to every sum.
class DistinctValues {
  public:
    // Whether a group of n values with `distinct` distinct values draws its resamples as counts
    // of those values: from 16 values per distinct value on. A count costs about 25 ns at a
    // mean below 30 and 60 ns above, a drawn position 2.5 ns, so with the values spread evenly
    // (every count small, the counts' worst case) the two break even near 12 values per
    // distinct value (docs/performance-bootstrap.md has the measurements).
    static constexpr std::int64_t kValuesPerDistinct = 16;
    static bool Worthwhile(std::int64_t n, std::size_t distinct) {
        return static_cast<std::int64_t>(distinct) * kValuesPerDistinct <= n;
    }

    // The distinct values a tally found within its limit.
    static DistinctValues FromTally(const ValueTally& tally);
    // The distinct values of n ascending values.
    static DistinctValues FromAscending(const float* ascending, std::int64_t n);

    std::size_t size() const { return m_values.size(); }
    const float* values() const { return m_values.data(); }

    // Passes the values at ascending positions from..to-1 (from 0) to f one by one, as
    // AddAscendingSums reads them.
    template <class F>
    void ascending(std::int64_t from, std::int64_t to, F&& f) const {
        std::int64_t end = 0;
        for (std::size_t i = 0; i < m_values.size() && from < to; ++i) {
            end += m_counts[i];
            for (; from < std::min(end, to); ++from) f(m_values[i]);
        }
    }

    // One resample, as many values as the group holds, as counts per distinct value into
    // out[0..size()): the multinomial draw, made as conditional binomials in ascending order
    // (the count of value i given the counts before it is binomial with the draws left and
    // value i's share of the values left), each from `rng`.
    void draw(UniformGenerator& rng, std::uint32_t* out) const;

  private:
    DistinctValues(std::vector<float> values, std::vector<std::uint32_t> counts);

    std::vector<float> m_values;
    std::vector<std::uint32_t> m_counts;
    // For each value but the last: its count over the count of itself and the values above it.
    std::vector<BinomialProbability> m_share;
    std::int64_t m_total = 0;
};

}  // namespace corvane
