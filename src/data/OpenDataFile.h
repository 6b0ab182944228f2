#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "common/Result.h"
#include "data/ImportError.h"

namespace corvane {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// Opens a data file for reading; only a regular file will do, since a pipe or a device could
// block the import or never end.
Result<FilePtr, ImportError> OpenDataFile(const std::string& path);

// How many bytes from the start of a file the formats' sniffers are shown.
inline constexpr std::size_t kFileHeadBytes = 1024;

// A data file's first bytes, read once by the import's front door and handed to the reader it
// chooses, and the file's size then.
struct FileHead {
    std::string bytes;  // the first kFileHeadBytes, all of a shorter file
    std::int64_t size = 0;
};
Result<FileHead, ImportError> ReadFileHead(const std::string& path);

}  // namespace corvane
