#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/OpenDataFile.h"

namespace corvane {

// How a stream of bytes is packed, by its first bytes.
enum class Packing { None, Gzip, Bzip2, Xz };
Packing SniffPacking(std::string_view head);
// "gzip", "bzip2", "xz"; empty for None.
const char* PackingName(Packing packing);

// A packed file unpacked in pieces as it is read. It may unpack to at most kMaxRatio times its
// packed size (but always kFloorBytes), so a bomb ends in a message, not a full disk or memory.
class StreamUnpacker {
  public:
    static constexpr std::int64_t kMaxRatio = 250;
    static constexpr std::int64_t kFloorBytes = std::int64_t{16} << 20;

    // `packedSize` sets the limit; a stream of several members (as `cat a.gz b.gz` makes) is
    // read whole.
    static Result<std::unique_ptr<StreamUnpacker>, ImportError> Open(FilePtr file, Packing packing,
                                                                     std::int64_t packedSize);
    virtual ~StreamUnpacker() = default;
    // Up to `n` unpacked bytes into `out`; 0 at the stream's end.
    Result<std::size_t, ImportError> read(char* out, std::size_t n);
    std::int64_t unpacked() const { return m_unpacked; }

  protected:
    StreamUnpacker(FilePtr file, std::int64_t limit) : m_file(std::move(file)), m_limit(limit) {}
    // One step of the codec: unpacks into `out` from the bytes held, asking for more through
    // refill(); returns the bytes written, 0 at the stream's end.
    virtual Result<std::size_t, ImportError> unpack(char* out, std::size_t n) = 0;
    // Reads the next packed bytes into m_in; false at the file's end.
    Result<bool, ImportError> refill();

    FilePtr m_file;
    char m_in[1 << 16];
    std::size_t m_inLength = 0;

  private:
    std::int64_t m_limit;
    std::int64_t m_unpacked = 0;
};

// What a packed file (or a zip archive's file, or a workbook's part) of `packedSize` bytes may
// unpack to: StreamUnpacker::kMaxRatio times its size, at least kFloorBytes.
std::int64_t UnpackLimit(std::int64_t packedSize);

// Why a packed stream could not be read: "the gzip stream is damaged", "it unpacks to more than
// 250 times its size".
ImportError DamagedStream(Packing packing);
ImportError OverUnpackLimit();

}  // namespace corvane
