#include "analysis/DistinctValues.h"

#include <utility>

#include "common/BinomialDraw.h"

namespace corvane {

namespace {

// A value with -0 folded into +0, as the tally folds it.
float Folded(float v) { return v == 0.0f ? 0.0f : v; }

}  // namespace

DistinctValues::DistinctValues(std::vector<float> values, std::vector<std::uint32_t> counts)
    : m_values(std::move(values)), m_counts(std::move(counts)) {
    for (const std::uint32_t c : m_counts) m_total += c;
    std::int64_t left = m_total;
    for (std::size_t i = 0; i + 1 < m_values.size(); ++i) {
        m_share.emplace_back(static_cast<double>(m_counts[i]) / static_cast<double>(left));
        left -= m_counts[i];
    }
}

DistinctValues DistinctValues::FromTally(const ValueTally& tally) {
    const std::vector<ValueTally::Entry> found = tally.ascending();
    std::vector<float> distinct(found.size());
    std::vector<std::uint32_t> counts(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        distinct[i] = found[i].value;
        counts[i] = found[i].count;
    }
    return DistinctValues(std::move(distinct), std::move(counts));
}

DistinctValues DistinctValues::FromAscending(const float* ascending, std::int64_t n) {
    std::vector<float> distinct;
    std::vector<std::uint32_t> counts;
    for (std::int64_t j = 0; j < n; ++j) {
        if (j == 0 || ascending[j] != ascending[j - 1]) {
            distinct.push_back(Folded(ascending[j]));
            counts.push_back(0);
        }
        ++counts.back();
    }
    return DistinctValues(std::move(distinct), std::move(counts));
}

void DistinctValues::draw(UniformGenerator& rng, std::uint32_t* out) const {
    std::int64_t left = m_total;
    for (std::size_t i = 0; i < m_share.size(); ++i) {
        const std::int64_t c = DrawBinomial(rng, left, m_share[i]);
        out[i] = static_cast<std::uint32_t>(c);
        left -= c;
    }
    if (!m_values.empty()) out[m_values.size() - 1] = static_cast<std::uint32_t>(left);
}

}  // namespace corvane
