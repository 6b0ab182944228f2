#include "analysis/Estimates.h"

#include <cmath>

namespace corvane {

std::optional<double> GlassDelta(const GroupMoments& group1, const GroupMoments& group2,
                                 const GroupMoments& chosen) {
    if (!(chosen.variance > 0)) return std::nullopt;
    return (group2.mean - group1.mean) / std::sqrt(chosen.variance);
}

std::optional<double> RobustDelta(const GroupMoments& group1, const GroupMoments& group2,
                                  const GroupMoments& chosen) {
    if (!(chosen.winsorizedVariance > 0)) return std::nullopt;
    // The 20% Winsorized variance of the standard normal distribution is 0.4121, and
    // sqrt(0.4121) = 0.642 is the rescaling Algina, Keselman and Penfield published: the
    // Winsorized SD over it estimates the SD for normal data, so robust d estimates what d does.
    // The program has always used sqrt(0.4129) = 0.6426 instead, and keeps it, because
    // published results rest on it.
    return (std::sqrt(0.4129) * (group2.trimmedMean - group1.trimmedMean)) /
           std::sqrt(chosen.winsorizedVariance);
}

}  // namespace corvane
