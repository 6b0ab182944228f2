#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/PercentileInterval.h"

namespace corvane {

// One bar of a histogram: the values v with lower <= v < upper (the last bar also takes its
// upper edge).
struct HistogramBin {
    double lower = 0;
    double upper = 0;
    std::int32_t count = 0;
};

// A line drawn over a histogram: where it sits and the text the report shows for it.
struct DistributionMarker {
    float value = 0;
    std::string text;
};

// The picture of one effect size's bootstrap: the valid trial values binned, and the observed
// value and the two interval bounds exactly as the report has them.
//
// Bins follow Freedman and Diaconis: width 2 IQR / m^(1/3) over the m valid values, the count
// that width gives held between 10 and 100, and equal widths from the smallest value to the
// largest. An IQR of 0 under a spread of values asks for ever narrower bars and gets 100;
// values all equal (one value among them) get 10 bars over value +- max(1, |value|) / 2, the
// value in the sixth. No valid value: no bars.
//
// The picture's axis spans the central 99.5% of the m valid values: from the (k+1)-th smallest
// to the (k+1)-th largest, k = floor(m / 400), widened to take the drawn markers. A far tail
// then neither squeezes the bars into a few pixels nor hides where the markers are; the values
// beyond the span are counted, not drawn. The view's bars are as wide as the Freedman–Diaconis
// width above makes them for all m values, over the span alone.
class BootstrapDistribution {
  public:
    static constexpr std::int32_t kMinBins = 10;
    static constexpr std::int32_t kMaxBins = 100;

    BootstrapDistribution() = default;
    // `trials`: every attempted trial's value in trial order, the missing code for an
    // undefined one. `observed` may be the missing code; `interval` is the reported one.
    BootstrapDistribution(const std::vector<float>& trials, float observed,
                          const Interval& interval);

    // Over every valid value, from the smallest to the largest.
    const std::vector<HistogramBin>& bins() const { return m_bins; }
    // Over the axis span only.
    const std::vector<HistogramBin>& viewBins() const { return m_viewBins; }
    std::int32_t attempted() const { return m_attempted; }
    std::int32_t valid() const { return m_valid; }

    bool hasObserved() const { return m_hasObserved; }
    const DistributionMarker& observed() const { return m_observed; }
    // With no valid trial the report's interval is (0, 0) and no bound is drawn.
    bool hasBounds() const { return m_valid > 0; }
    const DistributionMarker& lower() const { return m_lower; }
    const DistributionMarker& upper() const { return m_upper; }

    // The horizontal extent that holds every view bar and every drawn marker.
    double axisLow() const { return m_axisLow; }
    double axisHigh() const { return m_axisHigh; }
    // The valid values left of and right of the axis span.
    std::int32_t belowAxis() const { return m_below; }
    std::int32_t aboveAxis() const { return m_above; }
    // "3 trials below and 6 above the axis not shown", or empty when none lies beyond.
    std::string beyondAxisText() const;
    // The tallest view bar.
    std::int32_t highestCount() const { return m_highest; }

  private:
    std::vector<HistogramBin> m_bins;
    std::vector<HistogramBin> m_viewBins;
    std::int32_t m_attempted = 0;
    std::int32_t m_valid = 0;
    bool m_hasObserved = false;
    DistributionMarker m_observed, m_lower, m_upper;
    double m_axisLow = 0, m_axisHigh = 1;
    std::int32_t m_below = 0, m_above = 0;
    std::int32_t m_highest = 0;
};

// The bins of ascending finite values, their width and count chosen as described above.
std::vector<HistogramBin> FreedmanDiaconisBins(const std::vector<double>& ascending);
// Bars of the Freedman–Diaconis width for all the values, from `low` to `high` (low < high),
// holding the values between them; values all equal get 10 bars.
std::vector<HistogramBin> FreedmanDiaconisBins(const std::vector<double>& ascending, double low,
                                               double high);

}  // namespace corvane
