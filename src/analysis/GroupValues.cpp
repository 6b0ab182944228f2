#include "analysis/GroupValues.h"

namespace corvane {

std::pair<GroupValues, GroupValues> GroupValues::OfMatrix(const DataMatrix& data,
                                                          std::int32_t cases,
                                                          std::int32_t dependent,
                                                          std::int32_t grouping, float code1,
                                                          float code2) {
    GroupValues g1;
    g1.m_data = &data;
    g1.m_cases = cases;
    g1.m_dependent = dependent;
    g1.m_grouping = grouping;
    g1.m_code = code1;
    GroupValues g2 = g1;
    g2.m_code = code2;
    // A case of code 1 goes to group 1 first, so group 2 under the same code holds nothing.
    g2.m_empty = code2 == code1;
    std::int64_t n1 = 0, n2 = 0;
    g1.forEachCase([&](float, float c) {
        if (c == code1) {
            ++n1;
        } else if (c == code2) {
            ++n2;
        }
    });
    g1.m_size = n1;
    g2.m_size = n2;
    return {g1, g2};
}

}  // namespace corvane
