#include "analysis/GroupSurvey.h"

namespace corvane {

namespace {

// One group's share of the passes.
struct Surveyor {
    Surveyor(const GroupValues& values, std::size_t limit)
        : n(values.size()), tally(n >= 2 ? limit : 0) {}

    std::int64_t n;
    ValueTally tally;
    GroupSurvey found;
    double mean = 0;

    void first(float v) {
        AddToSum(found.sums.sum, v);
        tally.add(v);
    }
    void second(float v) { AddSquaredDeviation(found.sums.squaredDeviations, mean, v); }
    void between() {
        if (n >= 2 && tally.within()) found.distinct = DistinctValues::FromTally(tally);
        mean = n >= 2 ? found.sums.sum / static_cast<double>(n) : 0.0;
    }
    GroupSurvey done() {
        if (n < 2) return {};
        return std::move(found);
    }
};

}  // namespace

std::pair<GroupSurvey, GroupSurvey> SurveyGroups(const GroupValues& group1,
                                                 const GroupValues& group2, std::size_t limit1,
                                                 std::size_t limit2) {
    Surveyor a(group1, limit1), b(group2, limit2);
    GroupValues::ForBoth(
        group1, group2, [&](float v) { a.first(v); }, [&](float v) { b.first(v); });
    a.between();
    b.between();
    GroupValues::ForBoth(
        group1, group2, [&](float v) { a.second(v); }, [&](float v) { b.second(v); });
    return {a.done(), b.done()};
}

GroupSurvey SurveyGroup(const GroupValues& values, std::size_t limit) {
    Surveyor s(values, limit);
    values.forEach([&](float v) { s.first(v); });
    s.between();
    values.forEach([&](float v) { s.second(v); });
    return s.done();
}

}  // namespace corvane
