#include "analysis/DistinctValues.h"

#include <cstring>
#include <utility>

#include "common/BinomialDraw.h"

namespace corvane {

namespace {

// A value's bit pattern, -0 folded into +0.
std::uint32_t Key(float v) {
    if (v == 0.0f) return 0;
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

float ValueOf(std::uint32_t key) {
    float v;
    std::memcpy(&v, &key, sizeof v);
    return v;
}

// Counts per value in an open-addressing table of the values' bit patterns, at most half full;
// a slot with count 0 is free.
class ValueTally {
  public:
    struct Slot {
        std::uint32_t key = 0, count = 0;
    };

    explicit ValueTally(std::size_t limit) : m_limit(limit) { m_slots.resize(64); }

    // False once more than `limit` distinct values have come.
    bool add(float v) {
        const std::uint32_t key = Key(v);
        for (std::size_t i = place(key);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& s = m_slots[i];
            if (s.count != 0 && s.key == key) {
                ++s.count;
                return true;
            }
            if (s.count == 0) {
                s = {key, 1};
                if (++m_used > m_limit) return false;
                if (2 * m_used > m_slots.size()) grow();
                return true;
            }
        }
    }

    const std::vector<Slot>& slots() const { return m_slots; }
    std::size_t used() const { return m_used; }

  private:
    // Fibonacci hashing: the top bits of the key times 2^64 / golden ratio.
    std::size_t place(std::uint32_t key) const {
        return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ULL) >> m_shift);
    }
    void grow() {
        std::vector<Slot> old(m_slots.size() * 2);
        old.swap(m_slots);
        --m_shift;
        for (const Slot& s : old) {
            if (s.count == 0) continue;
            std::size_t i = place(s.key);
            while (m_slots[i].count != 0) i = (i + 1) & (m_slots.size() - 1);
            m_slots[i] = s;
        }
    }

    std::vector<Slot> m_slots;
    int m_shift = 64 - 6;  // 64 slots
    std::size_t m_used = 0;
    std::size_t m_limit;
};

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

std::optional<DistinctValues> DistinctValues::Tally(const GroupValues& values, std::size_t limit,
                                                    double& sum) {
    ValueTally tally(limit);
    bool within = true;
    double total = 0;
    values.forEach([&](float v) {
        AddToSum(total, v);
        if (within) within = tally.add(v);
    });
    sum = total;
    if (!within) return std::nullopt;
    std::vector<ValueTally::Slot> found;
    found.reserve(tally.used());
    for (const ValueTally::Slot& s : tally.slots()) {
        if (s.count != 0) found.push_back(s);
    }
    std::sort(found.begin(), found.end(), [](const ValueTally::Slot& a, const ValueTally::Slot& b) {
        return ValueOf(a.key) < ValueOf(b.key);
    });
    std::vector<float> distinct(found.size());
    std::vector<std::uint32_t> counts(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) {
        distinct[i] = ValueOf(found[i].key);
        counts[i] = found[i].count;
    }
    return DistinctValues(std::move(distinct), std::move(counts));
}

DistinctValues DistinctValues::FromAscending(const float* ascending, std::int64_t n) {
    std::vector<float> distinct;
    std::vector<std::uint32_t> counts;
    for (std::int64_t j = 0; j < n; ++j) {
        if (j == 0 || ascending[j] != ascending[j - 1]) {
            distinct.push_back(ValueOf(Key(ascending[j])));
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
