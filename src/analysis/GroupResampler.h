#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "analysis/DrawCounts.h"
#include "analysis/GroupStatistics.h"

namespace corvane {

// One observed group: its values sorted once and the shift its resamples are summed about.
// Read-only during the run, shared by every thread; each thread brings its own counts.
//
// A resample draws n positions with replacement. Drawing a position of the ascending copy
// instead of a case position is the same resampling distribution: every observed value is
// equally likely at every draw either way. Counting the drawn positions yields the resample's
// ascending order directly, so no trial sorts and no draw reads the data.
class GroupResampler {
  public:
    // Keeps a reference to `observed`, which must outlive it.
    explicit GroupResampler(const GroupSample& observed);

    std::size_t size() const { return static_cast<std::size_t>(m_n); }

    // The statistics of the observed sample itself: the sums in case order and over the sorted
    // copy, as for any single sample.
    Checked observedStats(GroupStats& out) const;

    // The statistics of the resample drawn into `counts`; clears them for the next one.
    Checked resampleStats(DrawCounts& counts, GroupStats& out) const;

  private:
    const GroupSample& m_observed;
    std::int64_t m_n;
    std::vector<float> m_sorted;  // observed values, ascending
    double m_shift = 0;
};

// Sorts the two observed groups into `first` and `second`, side by side when `threads` allows
// more than one: on a million values per group the sorts are a good part of what runs before
// the trials can share out.
void SortGroups(const GroupSample& group1, const GroupSample& group2, unsigned threads,
                std::optional<GroupResampler>& first, std::optional<GroupResampler>& second);

}  // namespace corvane
