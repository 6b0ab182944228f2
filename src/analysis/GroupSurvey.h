#pragma once

#include <cstddef>
#include <optional>
#include <utility>

#include "analysis/DistinctValues.h"
#include "analysis/GroupStatistics.h"
#include "analysis/GroupValues.h"

namespace corvane {

// What the passes over a group in case order find: its sum and its squared deviations, as
// AddCaseOrderSums takes them, and its distinct values while they are at most the limit it
// was surveyed with. A group of fewer than two values finds zero sums and no values.
struct GroupSurvey {
    GroupSums sums;
    std::optional<DistinctValues> distinct;
};

// Surveys both groups in two passes, the sums and the distinct values, then the squared
// deviations; each pass reads the cases of one matrix once for both groups, which on a
// hundred million cases per group is most of what the preparation costs.
std::pair<GroupSurvey, GroupSurvey> SurveyGroups(const GroupValues& group1,
                                                 const GroupValues& group2, std::size_t limit1,
                                                 std::size_t limit2);

// The same for one group.
GroupSurvey SurveyGroup(const GroupValues& values, std::size_t limit);

}  // namespace corvane
