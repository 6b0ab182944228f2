#include "analysis/render/BootstrapDistribution.h"

#include <algorithm>
#include <cmath>

#include "common/NumberText.h"
#include "common/Single.h"

namespace corvane {

namespace {

// The quantile at fraction p of ascending values, interpolating between neighbours.
double Quantile(const std::vector<double>& ascending, double p) {
    const double at = p * static_cast<double>(ascending.size() - 1);
    const auto below = static_cast<std::size_t>(std::floor(at));
    const std::size_t above = std::min(below + 1, ascending.size() - 1);
    const double frac = at - static_cast<double>(below);
    return ascending[below] + frac * (ascending[above] - ascending[below]);
}

std::vector<HistogramBin> EqualBins(double low, double high, std::int32_t count) {
    std::vector<HistogramBin> bins(static_cast<std::size_t>(count));
    const double width = (high - low) / count;
    for (std::int32_t i = 0; i < count; ++i) {
        bins[i].lower = low + width * i;
        bins[i].upper = i + 1 == count ? high : low + width * (i + 1);
    }
    return bins;
}

DistributionMarker Marker(float value) { return {value, FormatRounded3(value)}; }

}  // namespace

std::vector<HistogramBin> FreedmanDiaconisBins(const std::vector<double>& ascending) {
    if (ascending.empty()) return {};
    const double low = ascending.front(), high = ascending.back();
    if (!(high > low)) {
        const double half = std::max(1.0, std::fabs(low)) / 2;
        std::vector<HistogramBin> bins =
            EqualBins(low - half, low + half, BootstrapDistribution::kMinBins);
        bins[BootstrapDistribution::kMinBins / 2].count =
            static_cast<std::int32_t>(ascending.size());
        return bins;
    }
    return FreedmanDiaconisBins(ascending, low, high);
}

std::vector<HistogramBin> FreedmanDiaconisBins(const std::vector<double>& ascending, double low,
                                               double high) {
    std::int32_t count = BootstrapDistribution::kMaxBins;
    if (ascending.empty() || !(ascending.back() > ascending.front())) {
        count = BootstrapDistribution::kMinBins;
    } else {
        const double iqr = Quantile(ascending, 0.75) - Quantile(ascending, 0.25);
        const double width = 2 * iqr / std::cbrt(static_cast<double>(ascending.size()));
        if (width > 0) {
            const double wanted = std::ceil((high - low) / width);
            count = static_cast<std::int32_t>(std::clamp(wanted,
                                                         double{BootstrapDistribution::kMinBins},
                                                         double{BootstrapDistribution::kMaxBins}));
        }
    }
    std::vector<HistogramBin> bins = EqualBins(low, high, count);
    // A value on an inner edge belongs to the bar above it; one on the top edge to the last bar.
    std::size_t bar = 0;
    for (const double v : ascending) {
        if (v < low) continue;
        if (v > high) break;
        while (bar + 1 < bins.size() && v >= bins[bar + 1].lower) ++bar;
        ++bins[bar].count;
    }
    return bins;
}

BootstrapDistribution::BootstrapDistribution(const std::vector<float>& trials, float observed,
                                             const Interval& interval)
    : m_attempted(static_cast<std::int32_t>(trials.size())),
      m_hasObserved(!IsMissing(observed)),
      m_observed(Marker(observed)),
      m_lower(Marker(interval.lower)),
      m_upper(Marker(interval.upper)) {
    std::vector<double> values;
    values.reserve(trials.size());
    for (const float v : trials) {
        if (!IsMissing(v) && std::isfinite(v)) values.push_back(v);
    }
    std::sort(values.begin(), values.end());
    m_valid = static_cast<std::int32_t>(values.size());
    m_bins = FreedmanDiaconisBins(values);

    bool any = false;
    auto include = [&](double x) {
        m_axisLow = any ? std::min(m_axisLow, x) : x;
        m_axisHigh = any ? std::max(m_axisHigh, x) : x;
        any = true;
    };
    if (!values.empty()) {
        const std::size_t k = values.size() / 400;
        include(values[k]);
        include(values[values.size() - 1 - k]);
    }
    if (m_hasObserved) include(observed);
    if (hasBounds()) {
        include(interval.lower);
        include(interval.upper);
    }
    if (!any) {
        m_axisLow = -1;
        m_axisHigh = 1;
    } else if (!(m_axisHigh > m_axisLow)) {
        const double half = std::max(1.0, std::fabs(m_axisLow)) / 2;
        m_axisLow -= half;
        m_axisHigh += half;
    }
    if (!values.empty()) {
        m_viewBins = FreedmanDiaconisBins(values, m_axisLow, m_axisHigh);
        m_below = static_cast<std::int32_t>(
            std::lower_bound(values.begin(), values.end(), m_axisLow) - values.begin());
        m_above = static_cast<std::int32_t>(
            values.end() - std::upper_bound(values.begin(), values.end(), m_axisHigh));
    }
    for (const HistogramBin& b : m_viewBins) m_highest = std::max(m_highest, b.count);
}

std::string BootstrapDistribution::beyondAxisText() const {
    if (m_below == 0 && m_above == 0) return {};
    const std::int32_t first = m_below > 0 ? m_below : m_above;
    std::string out = FormatInt(first) + (first == 1 ? " trial " : " trials ");
    if (m_below > 0 && m_above > 0) {
        out += "below and " + FormatInt(m_above) + " above";
    } else {
        out += m_below > 0 ? "below" : "above";
    }
    return out + " the axis not shown";
}

}  // namespace corvane
