#include "data/formats/sheets/ChildReceiver.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane {

bool ChildReceiver::text(std::string& t) {
    std::int64_t n = 0;
    // A cell's or a sheet's text is far shorter; a longer claim is a child gone wrong.
    if (!integer(n) || n < 0 || n > (std::int64_t{1} << 30)) return false;
    t.resize(static_cast<std::size_t>(n));
    return raw(t.data(), t.size());
}

bool ChildReceiver::error(ImportError& e) {
    std::int64_t kind = 0;
    if (!integer(kind) || kind < 0 ||
        kind > static_cast<std::int64_t>(ImportError::Kind::OutOfMemory))
        return false;
    e = ImportError::Of(static_cast<ImportError::Kind>(kind));
    return integer(e.row) && integer(e.column) && text(e.reason);
}

// Waits for the next bytes until the deadline; false at the end, on a failure or at the deadline.
bool ChildReceiver::fill() {
    for (;;) {
        if (m_deadline != Clock::time_point::max()) {
            const auto left =
                std::chrono::ceil<std::chrono::milliseconds>(m_deadline - Clock::now()).count();
            if (left <= 0) {
                m_timedOut = true;
                return false;
            }
            pollfd fd{m_fd, POLLIN, 0};
            const int ready = ::poll(&fd, 1, static_cast<int>(std::min<std::int64_t>(left, 60000)));
            if (ready == 0 || (ready < 0 && errno == EINTR)) continue;
            if (ready < 0) return false;
        }
        const ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        m_at = 0;
        m_size = static_cast<std::size_t>(got);
        return true;
    }
}

bool ChildReceiver::raw(void* p, std::size_t n) {
    auto* out = static_cast<char*>(p);
    while (n > 0) {
        if (m_at == m_size && !fill()) return false;
        const std::size_t take = std::min(n, m_size - m_at);
        std::memcpy(out, m_buffer + m_at, take);
        m_at += take;
        out += take;
        n -= take;
    }
    return true;
}

}  // namespace corvane
