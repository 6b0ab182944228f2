#include "data/formats/compressed/ScratchFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>

namespace corvane {

namespace {

// The suffix as the name may carry it: a point, letters and digits, at most 16 of them.
std::string SafeSuffix(std::string_view suffix) {
    std::string out;
    for (const char c : suffix)
        if (c == '.' || std::isalnum(static_cast<unsigned char>(c))) out += c;
    if (out.size() > 16 || out.empty() || out[0] != '.') return {};
    return out;
}

}  // namespace

Result<std::unique_ptr<ScratchFile>, ImportError> ScratchFile::Create(std::string_view suffix) {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    const std::string end = SafeSuffix(suffix);
    std::string name = (folder / "corvane-unpacked-XXXXXX").string() + end;
    const int fd = ::mkstemps(name.data(), static_cast<int>(end.size()));
    if (fd < 0)
        return ImportError::Unreadable("no scratch file could be made in " + folder.string() +
                                       " to unpack it to: " + std::strerror(errno));
    std::FILE* file = ::fdopen(fd, "wb");
    if (file == nullptr) {
        const int err = errno;
        ::close(fd);
        ::unlink(name.c_str());
        return ImportError::Unreadable(err);
    }
    return std::unique_ptr<ScratchFile>(new ScratchFile(std::move(name), file));
}

ScratchFile::~ScratchFile() {
    if (m_file != nullptr) std::fclose(m_file);
    ::unlink(m_path.c_str());
}

std::optional<ImportError> ScratchFile::write(const char* data, std::size_t n) {
    if (n == 0) return std::nullopt;
    if (m_file == nullptr || std::fwrite(data, 1, n, m_file) != n)
        return ImportError::Unreadable("it could not be unpacked to " + m_path + ": " +
                                       std::strerror(errno));
    m_written += static_cast<std::int64_t>(n);
    return std::nullopt;
}

std::optional<ImportError> ScratchFile::finish() {
    if (m_file == nullptr) return std::nullopt;
    std::FILE* file = m_file;
    m_file = nullptr;
    if (std::fclose(file) != 0)
        return ImportError::Unreadable("it could not be unpacked to " + m_path + ": " +
                                       std::strerror(errno));
    return std::nullopt;
}

}  // namespace corvane
