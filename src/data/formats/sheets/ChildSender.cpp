#include "data/formats/sheets/ChildSender.h"

#include <unistd.h>

#include <cerrno>

namespace corvane {

void ChildSender::text(std::string_view t) {
    integer(static_cast<std::int64_t>(t.size()));
    raw(t.data(), t.size());
}

void ChildSender::error(const ImportError& e) {
    tag(kError);
    integer(static_cast<std::int64_t>(e.kind));
    integer(e.row);
    integer(e.column);
    text(e.reason);
}

void ChildSender::flush() {
    std::size_t at = 0;
    while (at < m_buffer.size()) {
        const ssize_t n = ::write(m_fd, m_buffer.data() + at, m_buffer.size() - at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ::_exit(1);
        at += static_cast<std::size_t>(n);
    }
    m_buffer.clear();
}

void ChildSender::raw(const void* p, std::size_t n) {
    m_buffer.append(static_cast<const char*>(p), n);
    if (m_buffer.size() >= 64 * 1024) flush();
}

}  // namespace corvane
