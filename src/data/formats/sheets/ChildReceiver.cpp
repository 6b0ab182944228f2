#include "data/formats/sheets/ChildReceiver.h"

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

bool ChildReceiver::raw(void* p, std::size_t n) {
    auto* out = static_cast<char*>(p);
    while (n > 0) {
        if (m_at == m_size) {
            const ssize_t got = ::read(m_fd, m_buffer, sizeof m_buffer);
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) return false;
            m_at = 0;
            m_size = static_cast<std::size_t>(got);
        }
        const std::size_t take = std::min(n, m_size - m_at);
        std::memcpy(out, m_buffer + m_at, take);
        m_at += take;
        out += take;
        n -= take;
    }
    return true;
}

}  // namespace corvane
