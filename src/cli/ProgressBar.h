#pragma once

#include <chrono>
#include <cstdint>
#include <iosfwd>

namespace corvane::cli {

// The bootstrap's progress on standard error: drawn only once the run has lasted `delaySeconds`,
// redrawn at most every 100 ms unless the percentage changes, and cleared at the end.
class ProgressBar {
  public:
    ProgressBar(std::ostream& err, bool enabled, double delaySeconds, std::int32_t total);
    ~ProgressBar();
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void update(std::int32_t trial);
    // Clears the bar so the line is free for what follows.
    void finish();

  private:
    using Clock = std::chrono::steady_clock;
    std::ostream& m_err;
    bool m_enabled;
    double m_delay;
    std::int32_t m_total;
    Clock::time_point m_start;
    Clock::time_point m_lastDraw{};
    bool m_drawn = false;
    int m_percent = -1;
    std::size_t m_width = 0;
};

}  // namespace corvane::cli
