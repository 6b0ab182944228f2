#include "data/formats/rdata/RByteSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace corvane {

ImportError EndsBeforeItsData() {
    return ImportError::Unreadable("the file ends before its data does");
}

Result<std::unique_ptr<RByteSource>, ImportError> RByteSource::Open(const std::string& path,
                                                                    const std::string& head,
                                                                    std::int64_t fileBytes) {
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    const Packing packing = SniffPacking(head);
    if (packing == Packing::None)
        return std::unique_ptr<RByteSource>(
            new RByteSource(std::move(file.value()), nullptr, Packing::None));
    auto unpacker = StreamUnpacker::Open(std::move(file.value()), packing, fileBytes);
    if (!unpacker) return unpacker.error();
    return std::unique_ptr<RByteSource>(
        new RByteSource(nullptr, std::move(unpacker.value()), packing));
}

Result<bool, ImportError> RByteSource::refill() {
    m_next = 0;
    if (m_unpacker) {
        auto got = m_unpacker->read(m_buffer, sizeof m_buffer);
        if (!got) return got.error();
        m_length = got.value();
    } else {
        m_length = std::fread(m_buffer, 1, sizeof m_buffer, m_file.get());
        if (m_length == 0 && std::ferror(m_file.get())) return ImportError::Unreadable(EIO);
    }
    return m_length != 0;
}

std::optional<ImportError> RByteSource::read(char* out, std::size_t n) {
    while (n > 0) {
        if (m_next == m_length) {
            auto more = refill();
            if (!more) return more.error();
            if (!more.value()) return EndsBeforeItsData();
        }
        const std::size_t piece = std::min(n, m_length - m_next);
        if (out) {
            std::memcpy(out, m_buffer + m_next, piece);
            out += piece;
        }
        m_next += piece;
        n -= piece;
    }
    return std::nullopt;
}

Result<bool, ImportError> RByteSource::atEnd() {
    if (m_next < m_length) return false;
    auto more = refill();
    if (!more) return more.error();
    return !more.value();
}

}  // namespace corvane
