#include "data/formats/OpenDataFile.h"

#include <sys/stat.h>

#include <cerrno>

namespace corvane {

Result<FilePtr, ImportError> OpenDataFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return ImportError::Unreadable(errno);
    if (S_ISDIR(st.st_mode)) return ImportError::Unreadable(EISDIR);
    if (!S_ISREG(st.st_mode)) return ImportError::Unreadable("not a regular file");
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return ImportError::Unreadable(errno);
    return FilePtr(f);
}

}  // namespace corvane
