#include "analysis/GroupResampler.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "analysis/CountWalk.h"

namespace corvane {

GroupResampler::GroupResampler(const GroupSample& observed)
    : m_observed(observed),
      m_n(static_cast<std::int64_t>(observed.size())),
      m_sorted(observed.begin(), observed.end()) {
    std::stable_sort(m_sorted.begin(), m_sorted.end());
    if (m_n < 2) return;
    // The resamples are summed about the observed Winsorized mean. It sits near every
    // resample's Winsorized mean, and near its mean too, relative to the plain variance, which
    // is large when outliers pull the mean away.
    const std::int64_t trimmed = TrimCount(m_n);
    double keptSum = 0;
    for (std::int64_t k = trimmed; k < m_n - trimmed; ++k) keptSum += m_sorted[k];
    const double dn = static_cast<double>(m_n), dTrimmed = static_cast<double>(trimmed);
    const double lowest = m_sorted[static_cast<std::size_t>(trimmed)];
    const double highest = m_sorted[static_cast<std::size_t>(m_n - trimmed - 1)];
    m_shift = ((dTrimmed * lowest + keptSum) + dTrimmed * highest) / dn;
}

Checked GroupResampler::observedStats(GroupStats& out) const {
    return ComputeGroupStatsPresorted(m_observed.data(), m_sorted.data(), m_n, out);
}

Checked GroupResampler::resampleStats(DrawCounts& counts, GroupStats& out) const {
    const GroupSums sums = SumsFromCounts(m_sorted.data(), counts, m_shift);
    counts.clear();
    return GroupStatsFromSums(sums, m_n, out);
}

namespace {

// Below this many values a second thread costs more than the sort it takes over.
constexpr std::size_t kSortSideBySide = 65536;

}  // namespace

void SortGroups(const GroupSample& group1, const GroupSample& group2, unsigned threads,
                std::optional<GroupResampler>& first, std::optional<GroupResampler>& second) {
    std::exception_ptr failure;
    std::jthread sorter;  // joined on every way out, before `failure` goes
    if (threads > 1 && group2.size() >= kSortSideBySide) {
        try {
            sorter = std::jthread([&] {
                try {
                    second.emplace(group2);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one sorts both.
        }
    }
    first.emplace(group1);
    if (!sorter.joinable()) {
        second.emplace(group2);
        return;
    }
    sorter.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace corvane
