#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <optional>

namespace corvane {

// The trial counts the effect-size window offers, in the order of its buttons.
inline constexpr std::array<std::int32_t, 8> kTrialChoices = {600,  800,  1000, 1200,
                                                              1400, 1600, 1800, 2000};

// The confidence levels in percent, in the order of the window's buttons.
inline constexpr std::array<int, 3> kLevelPercents = {90, 95, 99};

// The single-precision level a percentage stands for (0.9f, 0.95f, 0.99f); nothing for a
// percentage that is not offered.
inline std::optional<float> ConfidenceLevel(int percent) {
    switch (percent) {
        case 90:
            return 0.9f;
        case 95:
            return 0.95f;
        case 99:
            return 0.99f;
        default:
            return std::nullopt;
    }
}

// The percentage of a level, as the report writes it.
inline int LevelPercent(float level) {
    return static_cast<int>(std::lround(static_cast<double>(level) * 100.0));
}

}  // namespace corvane
