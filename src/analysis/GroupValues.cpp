#include "analysis/GroupValues.h"

namespace corvane {

GroupValues GroupValues::OfMatrix(const DataMatrix& data, std::int32_t cases,
                                  std::int32_t dependent, std::int32_t grouping, float code1,
                                  float code2, int group) {
    GroupValues v;
    v.m_data = &data;
    v.m_cases = cases;
    v.m_dependent = dependent;
    v.m_grouping = grouping;
    v.m_code = group == 2 ? code2 : code1;
    // A case of code 1 goes to group 1 first, so group 2 under the same code holds nothing.
    v.m_empty = group == 2 && code2 == code1;
    std::int64_t n = 0;
    v.forEach([&n](float) { ++n; });
    v.m_size = n;
    return v;
}

}  // namespace corvane
