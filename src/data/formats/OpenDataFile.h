#pragma once

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

}  // namespace corvane
