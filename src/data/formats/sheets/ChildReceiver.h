#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/ImportError.h"

namespace corvane {

// The caller's end of the pipe from a reader's helper program, buffered. Each read is false once
// the helper has stopped sending, sent what no helper of ours sends, or let the deadline pass.
class ChildReceiver {
  public:
    using Clock = std::chrono::steady_clock;

    explicit ChildReceiver(int fd, Clock::time_point deadline = Clock::time_point::max())
        : m_fd(fd), m_deadline(deadline) {}

    bool tag(char& t) { return raw(&t, 1); }
    bool integer(std::int64_t& v) { return raw(&v, sizeof v); }
    bool real(double& v) { return raw(&v, sizeof v); }
    bool text(std::string& t);
    bool error(ImportError& e);
    // Whether the reads stopped because the deadline passed.
    bool timedOut() const { return m_timedOut; }

  private:
    bool raw(void* p, std::size_t n);
    bool fill();

    int m_fd;
    Clock::time_point m_deadline;
    bool m_timedOut = false;
    char m_buffer[64 * 1024];
    std::size_t m_at = 0;
    std::size_t m_size = 0;
};

}  // namespace corvane
