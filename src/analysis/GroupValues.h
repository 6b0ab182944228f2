#pragma once

#include <cstdint>
#include <utility>

#include "analysis/GroupStatistics.h"
#include "common/Single.h"
#include "data/DataMatrix.h"

namespace corvane {

// The values of one group in case order, read where they lie: a sample held in memory, or the
// dependent cells of the matrix whose grouping cell holds the group's code, as ExtractGroups
// would copy them. A group of the matrix is read as often as its statistics need, so a group
// of a hundred million values costs no copy. Whatever it views must outlive it.
class GroupValues {
  public:
    // The values of `sample`.
    explicit GroupValues(const GroupSample& sample)
        : m_sample(&sample), m_size(static_cast<std::int64_t>(sample.size())) {}

    // Groups 1 and 2 of ExtractGroups(data, cases, dependent, grouping, code1, code2), counted
    // here in one pass over the cases.
    static std::pair<GroupValues, GroupValues> OfMatrix(const DataMatrix& data, std::int32_t cases,
                                                        std::int32_t dependent,
                                                        std::int32_t grouping, float code1,
                                                        float code2);

    std::int64_t size() const { return m_size; }

    // Calls f(value) for every value in case order.
    template <class F>
    void forEach(F&& f) const {
        if (m_sample) {
            for (const float v : *m_sample) f(v);
            return;
        }
        if (m_empty) return;
        forEachCase([&](float y, float c) {
            if (c == m_code) f(y);
        });
    }

    // Calls f1(value) for every value of `a` and f2(value) for every value of `b`, each in case
    // order. Groups 1 and 2 of one matrix are read in one pass over its cases for both.
    template <class F1, class F2>
    static void ForBoth(const GroupValues& a, const GroupValues& b, F1&& f1, F2&& f2) {
        if (a.m_data && a.m_data == b.m_data && a.m_cases == b.m_cases &&
            a.m_dependent == b.m_dependent && a.m_grouping == b.m_grouping && !a.m_empty &&
            (b.m_empty || a.m_code != b.m_code)) {
            a.forEachCase([&](float y, float c) {
                if (c == a.m_code) {
                    f1(y);
                } else if (!b.m_empty && c == b.m_code) {
                    f2(y);
                }
            });
            return;
        }
        a.forEach(f1);
        b.forEach(f2);
    }

  private:
    GroupValues() = default;

    // Calls f(dependent, grouping) for every case of the matrix with a dependent value.
    template <class F>
    void forEachCase(F&& f) const {
        const DataMatrix& d = *m_data;
        const std::int32_t stored = d.storedColumns();
        if (m_cases <= d.rows() && m_dependent >= 1 && m_dependent <= stored && m_grouping >= 1 &&
            m_grouping <= stored) {
            // Both cells stored in every case: read in place, a row apart.
            const float* cells = m_cases > 0 ? d.rowData(1) : nullptr;
            const auto stride = static_cast<std::size_t>(stored);
            const auto cases = static_cast<std::size_t>(m_cases);
            const auto y = static_cast<std::size_t>(m_dependent - 1);
            const auto c = static_cast<std::size_t>(m_grouping - 1);
            for (std::size_t i = 0; i < cases; ++i) {
                const float v = cells[i * stride + y];
                if (!IsMissing(v)) f(v, cells[i * stride + c]);
            }
            return;
        }
        // A 64-bit counter: the loop must end when cases is the largest 32-bit count.
        for (std::int64_t i = 1; i <= m_cases; ++i) {
            const auto row = static_cast<std::int32_t>(i);
            const float v = d.at(row, m_dependent);
            if (!IsMissing(v)) f(v, d.at(row, m_grouping));
        }
    }

    const GroupSample* m_sample = nullptr;
    const DataMatrix* m_data = nullptr;
    std::int32_t m_cases = 0, m_dependent = 0, m_grouping = 0;
    float m_code = 0;
    bool m_empty = false;  // group 2 under the code of group 1, which takes every such case
    std::int64_t m_size = 0;
};

}  // namespace corvane
