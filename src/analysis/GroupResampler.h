#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/DistinctValues.h"
#include "analysis/DrawCounts.h"
#include "analysis/GroupStatistics.h"
#include "analysis/GroupSurvey.h"
#include "analysis/GroupValues.h"

namespace corvane {

// How a group draws its resamples: as DistinctValues::Worthwhile chooses, or always one way, for
// measurements and comparisons.
enum class DrawChoice { ByRule, Positions, ValueCounts };

// One thread's counts of one group's resample: per position of the ascending copy, or per
// distinct value.
struct ResampleCounts {
    DrawCounts positions;
    std::vector<std::uint32_t> values;
};

// One observed group: its statistics, and what its resamples are drawn from. Read-only during
// the run, shared by every thread; each thread brings its own counts.
//
// A resample draws n positions with replacement. Drawing a position of the ascending copy
// instead of a case position is the same resampling distribution: every observed value is
// equally likely at every draw either way. Counting the drawn positions yields the resample's
// ascending order directly, so no trial sorts and no draw reads the data. A group of few
// distinct values against its size goes further: what a resample holds is how often it drew
// each distinct value, multinomial with the values' shares, so the trial draws those K counts
// instead of n positions, and the walk runs over the K values. The group then keeps no copy of
// its values at all.
class GroupResampler {
  public:
    explicit GroupResampler(const GroupValues& observed, DrawChoice choice = DrawChoice::ByRule);
    // The same from a survey of `observed` made with TallyLimit(observed.size(), choice).
    GroupResampler(const GroupValues& observed, GroupSurvey survey, DrawChoice choice);

    // The most distinct values worth tallying for a group of n values.
    static std::size_t TallyLimit(std::int64_t n, DrawChoice choice);

    std::size_t size() const { return static_cast<std::size_t>(m_n); }

    // The statistics of the observed sample itself: the sums in case order and over the
    // values in ascending order, as for any single sample.
    Checked observedStats(GroupStats& out) const {
        return GroupStatsFromSums(m_observed, m_n, out);
    }

    // Counts for this group's resamples, one set per thread.
    ResampleCounts emptyCounts() const;
    // Draws one resample into `counts` from `rng`.
    void draw(UniformGenerator& rng, ResampleCounts& counts) const;
    // The statistics of the resample drawn into `counts`; leaves them ready for the next draw.
    Checked resampleStats(ResampleCounts& counts, GroupStats& out) const;

  private:
    std::int64_t m_n;
    GroupSums m_observed;
    std::vector<float> m_sorted;  // observed values, ascending, when positions are drawn
    std::optional<DistinctValues> m_distinct;
    double m_shift = 0;
};

// Prepares the two observed groups into `first` and `second`: surveys both together, then
// sorts the groups that draw positions side by side when `threads` allows more than one (on a
// million values per group the sorts are a good part of what runs before the trials can share
// out).
void PrepareGroups(const GroupValues& group1, const GroupValues& group2, unsigned threads,
                   DrawChoice choice, std::optional<GroupResampler>& first,
                   std::optional<GroupResampler>& second);

}  // namespace corvane
