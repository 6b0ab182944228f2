#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace corvane {

// How often each value occurs among values passed one at a time, while they are at most
// `limit` distinct values: an open-addressing table of the values' bit patterns, at most half
// full, so its memory grows with the distinct values alone. -0 and +0 are one value, as they
// are to the sort and to every sum.
class ValueTally {
  public:
    struct Entry {
        float value = 0;
        std::uint32_t count = 0;
    };

    explicit ValueTally(std::size_t limit) : m_limit(limit) { m_slots.resize(64); }

    // Counts v; once more than `limit` distinct values have come, counts nothing more.
    void add(float v) {
        if (!m_within) return;
        const std::uint32_t key = Key(v);
        for (std::size_t i = place(key);; i = (i + 1) & (m_slots.size() - 1)) {
            Slot& s = m_slots[i];
            if (s.count != 0 && s.key == key) {
                ++s.count;
                return;
            }
            if (s.count == 0) return insert(s, key);
        }
    }

    // Whether the values stayed within the limit.
    bool within() const { return m_within; }
    // The distinct values, ascending, with their counts.
    std::vector<Entry> ascending() const;

  private:
    struct Slot {
        std::uint32_t key = 0, count = 0;  // count 0: a free slot
    };

    static std::uint32_t Key(float v);
    // Fibonacci hashing: the top bits of the key times 2^64 / golden ratio.
    std::size_t place(std::uint32_t key) const {
        return static_cast<std::size_t>((key * 0x9e3779b97f4a7c15ULL) >> m_shift);
    }
    void insert(Slot& s, std::uint32_t key);  // out of line: the counting loop stays small
    void grow();

    std::vector<Slot> m_slots;
    int m_shift = 64 - 6;  // 64 slots
    std::size_t m_used = 0;
    std::size_t m_limit;
    bool m_within = true;
};

}  // namespace corvane
