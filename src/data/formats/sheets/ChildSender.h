#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "data/ImportError.h"

namespace corvane {

// A reader's child process's end of the pipe to its parent, buffered: a record is a tag byte
// and its fields. A parent that stopped listening ends the child.
class ChildSender {
  public:
    static constexpr char kError = 'E';  // an ImportError
    static constexpr char kEnd = 'Z';    // everything was sent

    explicit ChildSender(int fd) : m_fd(fd) {}
    ~ChildSender() { flush(); }
    ChildSender(const ChildSender&) = delete;
    ChildSender& operator=(const ChildSender&) = delete;

    void tag(char t) { raw(&t, 1); }
    void integer(std::int64_t v) { raw(&v, sizeof v); }
    void real(double v) { raw(&v, sizeof v); }
    void text(std::string_view t);
    void error(const ImportError& e);
    void flush();

  private:
    void raw(const void* p, std::size_t n);

    int m_fd;
    std::string m_buffer;
};

}  // namespace corvane
