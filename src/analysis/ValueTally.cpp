#include "analysis/ValueTally.h"

#include <algorithm>
#include <cstring>

namespace corvane {

namespace {

float ValueOf(std::uint32_t key) {
    float v;
    std::memcpy(&v, &key, sizeof v);
    return v;
}

}  // namespace

std::uint32_t ValueTally::Key(float v) {
    if (v == 0.0f) return 0;
    std::uint32_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    return bits;
}

void ValueTally::insert(Slot& s, std::uint32_t key) {
    if (++m_used > m_limit) {
        m_within = false;
        return;
    }
    s = {key, 1};
    if (2 * m_used > m_slots.size()) grow();
}

void ValueTally::grow() {
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

std::vector<ValueTally::Entry> ValueTally::ascending() const {
    std::vector<Entry> found;
    found.reserve(m_used);
    for (const Slot& s : m_slots) {
        if (s.count != 0) found.push_back({ValueOf(s.key), s.count});
    }
    std::sort(found.begin(), found.end(),
              [](const Entry& a, const Entry& b) { return a.value < b.value; });
    return found;
}

}  // namespace corvane
