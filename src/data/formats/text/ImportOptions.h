#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace corvane {

// How the second pass shares its work: the file is cut at record starts into pieces of about
// chunkBytes, which `threads` threads (0: one per core) parse into their rows.
struct ImportOptions {
    unsigned threads = 0;
    std::int64_t chunkBytes = std::int64_t{4} << 20;
    // When set, called with the path after the first pass has closed the file and before the
    // second pass opens it: what a file changed by another program in between looks like.
    std::function<void(const std::string&)> betweenPasses = {};
};

}  // namespace corvane
