#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/OpenDataFile.h"
#include "data/formats/compressed/StreamUnpack.h"

namespace corvane {

// The bytes of an R data file as R wrote them, unpacked when R packed them (gzip by default,
// bzip2 or xz on request), read front to back in pieces.
class RByteSource {
  public:
    // Opens `path`, a file of `fileBytes` bytes whose first bytes are `head`.
    static Result<std::unique_ptr<RByteSource>, ImportError> Open(const std::string& path,
                                                                  const std::string& head,
                                                                  std::int64_t fileBytes);

    // Exactly `n` bytes into `out`: the file ending first is "the file ends before its data
    // does".
    std::optional<ImportError> read(char* out, std::size_t n);
    // Whether the stream has ended (no byte is left).
    Result<bool, ImportError> atEnd();
    Packing packing() const { return m_packing; }

  private:
    RByteSource(FilePtr file, std::unique_ptr<StreamUnpacker> unpacker, Packing packing)
        : m_file(std::move(file)), m_unpacker(std::move(unpacker)), m_packing(packing) {}
    // Reads the next piece into m_buffer; false at the stream's end.
    Result<bool, ImportError> refill();

    FilePtr m_file;  // when the file is not packed
    std::unique_ptr<StreamUnpacker> m_unpacker;
    Packing m_packing;
    char m_buffer[1 << 16];
    std::size_t m_length = 0;
    std::size_t m_next = 0;
};

// "the file ends before its data does".
ImportError EndsBeforeItsData();

}  // namespace corvane
