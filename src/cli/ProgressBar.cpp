#include "cli/ProgressBar.h"

#include <algorithm>
#include <ostream>
#include <string>

namespace corvane::cli {

ProgressBar::ProgressBar(std::ostream& err, bool enabled, double delaySeconds, std::int32_t total)
    : m_err(err),
      m_enabled(enabled),
      m_delay(delaySeconds),
      m_total(total),
      m_start(Clock::now()) {}

ProgressBar::~ProgressBar() { finish(); }

void ProgressBar::update(std::int32_t trial) {
    if (!m_enabled) return;
    const auto now = Clock::now();
    if (!m_drawn && std::chrono::duration<double>(now - m_start).count() < m_delay) return;
    const int percent = static_cast<int>(static_cast<std::int64_t>(trial) * 100 / m_total);
    if (m_drawn && percent == m_percent && trial != m_total &&
        now - m_lastDraw < std::chrono::milliseconds(100)) {
        return;
    }
    constexpr int kWidth = 30;
    const int filled = percent * kWidth / 100;
    std::string line = "\rBootstrap [" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
                       std::to_string(percent) + "% (" + std::to_string(trial) + "/" +
                       std::to_string(m_total) + ")";
    m_width = std::max(m_width, line.size() - 1);
    m_err << line << std::flush;
    m_drawn = true;
    m_percent = percent;
    m_lastDraw = now;
}

void ProgressBar::finish() {
    if (!m_drawn) return;
    m_err << '\r' << std::string(m_width, ' ') << '\r' << std::flush;
    m_drawn = false;
}

}  // namespace corvane::cli
