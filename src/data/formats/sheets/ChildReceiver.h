#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "data/ImportError.h"

namespace corvane {

// The parent's end of the pipe from a reader's child process, buffered. Each read is false once
// the child has stopped sending, or sent what no child of ours sends.
class ChildReceiver {
  public:
    explicit ChildReceiver(int fd) : m_fd(fd) {}

    bool tag(char& t) { return raw(&t, 1); }
    bool integer(std::int64_t& v) { return raw(&v, sizeof v); }
    bool real(double& v) { return raw(&v, sizeof v); }
    bool text(std::string& t);
    bool error(ImportError& e);

  private:
    bool raw(void* p, std::size_t n);

    int m_fd;
    char m_buffer[64 * 1024];
    std::size_t m_at = 0;
    std::size_t m_size = 0;
};

}  // namespace corvane
