#include "data/OpenDataFile.h"

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

Result<FileHead, ImportError> ReadFileHead(const std::string& path) {
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    std::FILE* f = file.value().get();
    FileHead head;
    struct stat st {};
    if (::fstat(::fileno(f), &st) == 0) head.size = st.st_size;
    head.bytes.assign(kFileHeadBytes, '\0');
    head.bytes.resize(std::fread(head.bytes.data(), 1, head.bytes.size(), f));
    return head;
}

}  // namespace corvane
