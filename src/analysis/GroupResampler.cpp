#include "analysis/GroupResampler.h"

#include <algorithm>
#include <exception>
#include <system_error>
#include <thread>

#include "analysis/CountWalk.h"

namespace corvane {

namespace {

// The most distinct values tallied before a group is copied and sorted instead: 1 MB of table.
constexpr std::size_t kTallyLimit = std::size_t{1} << 16;

std::size_t CountDistinct(const std::vector<float>& ascending) {
    std::size_t distinct = ascending.empty() ? 0 : 1;
    for (std::size_t j = 1; j < ascending.size(); ++j) distinct += ascending[j] != ascending[j - 1];
    return distinct;
}

// The observed Winsorized mean from the ascending sums: `trimmed` copies of the lowest and of
// the highest kept value and the kept values.
template <class Ascending>
double WinsorizedMean(const Ascending& ascending, std::int64_t n, double trimmedSum) {
    const std::int64_t trimmed = TrimCount(n);
    double lowest = 0, highest = 0;
    ascending(trimmed, trimmed + 1, [&](float v) { lowest = v; });
    ascending(n - trimmed - 1, n - trimmed, [&](float v) { highest = v; });
    const double dTrimmed = static_cast<double>(trimmed);
    return ((dTrimmed * lowest + trimmedSum) + dTrimmed * highest) / static_cast<double>(n);
}

}  // namespace

std::size_t GroupResampler::TallyLimit(std::int64_t n, DrawChoice choice) {
    if (choice == DrawChoice::Positions) return 0;
    if (choice == DrawChoice::ValueCounts) return kTallyLimit;
    return std::min(kTallyLimit, static_cast<std::size_t>(n / DistinctValues::kValuesPerDistinct));
}

GroupResampler::GroupResampler(const GroupValues& observed, DrawChoice choice)
    : GroupResampler(observed, SurveyGroup(observed, TallyLimit(observed.size(), choice)), choice) {
}

GroupResampler::GroupResampler(const GroupValues& observed, GroupSurvey survey, DrawChoice choice)
    : m_n(observed.size()), m_observed(survey.sums), m_distinct(std::move(survey.distinct)) {
    // Values too many to tally are copied and sorted, and may still turn out few enough.
    if (!m_distinct) {
        m_sorted.reserve(size());
        observed.forEach([&](float v) { m_sorted.push_back(v); });
        std::stable_sort(m_sorted.begin(), m_sorted.end());
        if (m_n >= 2 && (choice == DrawChoice::ValueCounts ||
                         (choice == DrawChoice::ByRule &&
                          DistinctValues::Worthwhile(m_n, CountDistinct(m_sorted))))) {
            m_distinct = DistinctValues::FromAscending(m_sorted.data(), m_n);
            std::vector<float>().swap(m_sorted);
        }
    }
    if (m_n < 2) return;
    // The resamples are summed about the observed Winsorized mean. It sits near every
    // resample's Winsorized mean, and near its mean too, relative to the plain variance, which
    // is large when outliers pull the mean away.
    auto ascending = [&](std::int64_t from, std::int64_t to, auto f) {
        if (m_distinct) return m_distinct->ascending(from, to, f);
        for (std::int64_t j = from; j < to; ++j) f(m_sorted[static_cast<std::size_t>(j)]);
    };
    AddAscendingSums(ascending, m_n, m_observed);
    m_shift = WinsorizedMean(ascending, m_n, m_observed.trimmedSum);
}

ResampleCounts GroupResampler::emptyCounts() const {
    if (m_distinct) return {DrawCounts(0), std::vector<std::uint32_t>(m_distinct->size(), 0)};
    return {DrawCounts(size()), {}};
}

void GroupResampler::draw(UniformGenerator& rng, ResampleCounts& counts) const {
    if (m_distinct) return m_distinct->draw(rng, counts.values.data());
    counts.positions.draw(rng);
}

Checked GroupResampler::resampleStats(ResampleCounts& counts, GroupStats& out) const {
    if (m_distinct) {
        const auto distinct = static_cast<std::int64_t>(m_distinct->size());
        return GroupStatsFromSums(
            SumsFromValueCounts(m_distinct->values(), counts.values.data(), distinct, m_n, m_shift),
            m_n, out);
    }
    const GroupSums sums = SumsFromCounts(m_sorted.data(), counts.positions, m_shift);
    counts.positions.clear();
    return GroupStatsFromSums(sums, m_n, out);
}

namespace {

// Below this many values a second thread costs more than the sort it takes over.
constexpr std::size_t kSortSideBySide = 65536;

}  // namespace

void PrepareGroups(const GroupValues& group1, const GroupValues& group2, unsigned threads,
                   DrawChoice choice, std::optional<GroupResampler>& first,
                   std::optional<GroupResampler>& second) {
    auto [survey1, survey2] =
        SurveyGroups(group1, group2, GroupResampler::TallyLimit(group1.size(), choice),
                     GroupResampler::TallyLimit(group2.size(), choice));
    std::exception_ptr failure;
    std::jthread sorter;  // joined on every way out, before `failure` goes
    if (threads > 1 && !survey2.distinct &&
        static_cast<std::size_t>(group2.size()) >= kSortSideBySide) {
        try {
            // clang 14 cannot capture a structured binding in a lambda: the reference can be.
            GroupSurvey& survey = survey2;
            sorter = std::jthread([&] {
                try {
                    second.emplace(group2, std::move(survey), choice);
                } catch (...) {
                    failure = std::current_exception();
                }
            });
        } catch (const std::system_error&) {
            // No thread to be had: this one prepares both.
        }
    }
    first.emplace(group1, std::move(survey1), choice);
    if (!sorter.joinable()) {
        second.emplace(group2, std::move(survey2), choice);
        return;
    }
    sorter.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace corvane
