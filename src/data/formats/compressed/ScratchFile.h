#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"
#include "data/ImportError.h"

namespace corvane {

// A file in the system's temporary folder that lives as long as the object: what a packed file
// unpacks to, for the readers that read from a path. Made by mkstemp (only its owner may read
// it), removed by the destructor, so also when the import fails or throws.
class ScratchFile {
  public:
    // `suffix` ends the file's name (".csv"), so that a reader told by the extension sees the
    // one of the file it stands for; anything but letters, digits and a point is left out.
    static Result<std::unique_ptr<ScratchFile>, ImportError> Create(std::string_view suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    const std::string& path() const { return m_path; }
    // Appends bytes; a full disk says so.
    std::optional<ImportError> write(const char* data, std::size_t n);
    // Writes out what is buffered and closes the file for writing: the readers then open path().
    std::optional<ImportError> finish();
    std::int64_t written() const { return m_written; }

  private:
    ScratchFile(std::string path, std::FILE* file) : m_path(std::move(path)), m_file(file) {}
    std::string m_path;
    std::FILE* m_file;
    std::int64_t m_written = 0;
};

}  // namespace corvane
