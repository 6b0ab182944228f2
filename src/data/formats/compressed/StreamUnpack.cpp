#include "data/formats/compressed/StreamUnpack.h"

#include <bzlib.h>
#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <new>

namespace corvane {

Packing SniffPacking(std::string_view head) {
    if (head.size() >= 3 && head[0] == '\x1f' && head[1] == '\x8b' && head[2] == '\x08')
        return Packing::Gzip;
    if (head.size() >= 4 && head.substr(0, 3) == "BZh" && head[3] >= '1' && head[3] <= '9')
        return Packing::Bzip2;
    if (head.size() >= 6 && head.substr(0, 6) == std::string_view("\xfd"
                                                                  "7zXZ\0",
                                                                  6))
        return Packing::Xz;
    return Packing::None;
}

const char* PackingName(Packing packing) {
    switch (packing) {
        case Packing::Gzip:
            return "gzip";
        case Packing::Bzip2:
            return "bzip2";
        case Packing::Xz:
            return "xz";
        case Packing::None:
            break;
    }
    return "";
}

std::int64_t UnpackLimit(std::int64_t packedSize) {
    return std::max(StreamUnpacker::kFloorBytes, packedSize * StreamUnpacker::kMaxRatio);
}

ImportError DamagedStream(Packing packing) {
    return ImportError::Unreadable(std::string("the ") + PackingName(packing) +
                                   " stream is damaged or cut short");
}

ImportError OverUnpackLimit() {
    return ImportError::Unreadable(
        "it unpacks to far more than its packed size, as no data file does (a compression bomb?)");
}

Result<bool, ImportError> StreamUnpacker::refill() {
    m_inLength = std::fread(m_in, 1, sizeof m_in, m_file.get());
    if (m_inLength == 0 && std::ferror(m_file.get())) return ImportError::Unreadable(EIO);
    return m_inLength != 0;
}

Result<std::size_t, ImportError> StreamUnpacker::read(char* out, std::size_t n) {
    auto got = unpack(out, n);
    if (!got) return got;
    m_unpacked += static_cast<std::int64_t>(got.value());
    if (m_unpacked > m_limit) return OverUnpackLimit();
    return got;
}

namespace {

// Each codec keeps its place in m_in in its own stream state, and asks refill() for more.

class GzipUnpacker final : public StreamUnpacker {
  public:
    explicit GzipUnpacker(FilePtr file, std::int64_t limit)
        : StreamUnpacker(std::move(file), limit) {}
    ~GzipUnpacker() override {
        if (m_started) inflateEnd(&m_z);
    }
    bool start() {
        m_started = inflateInit2(&m_z, 15 + 16) == Z_OK;
        return m_started;
    }

  private:
    Result<std::size_t, ImportError> unpack(char* out, std::size_t n) override {
        m_z.next_out = reinterpret_cast<Bytef*>(out);
        m_z.avail_out = static_cast<uInt>(std::min<std::size_t>(n, 1u << 30));
        const uInt wanted = m_z.avail_out;
        while (m_z.avail_out == wanted) {
            if (m_z.avail_in == 0) {
                auto more = refill();
                if (!more) return more.error();
                if (!more.value()) {
                    if (m_ended) return std::size_t{0};  // every member read whole
                    return DamagedStream(Packing::Gzip);
                }
                m_z.next_in = reinterpret_cast<Bytef*>(m_in);
                m_z.avail_in = static_cast<uInt>(m_inLength);
            }
            if (m_ended) {
                // Another member follows the last one's end: start it afresh.
                if (inflateReset(&m_z) != Z_OK) return DamagedStream(Packing::Gzip);
                m_ended = false;
            }
            const int rc = inflate(&m_z, Z_NO_FLUSH);
            if (rc == Z_MEM_ERROR) throw std::bad_alloc();
            if (rc == Z_STREAM_END) {
                m_ended = true;
                if (m_z.avail_out != wanted) break;
                continue;
            }
            if (rc != Z_OK && rc != Z_BUF_ERROR) return DamagedStream(Packing::Gzip);
        }
        return static_cast<std::size_t>(wanted - m_z.avail_out);
    }

    z_stream m_z{};
    bool m_started = false;
    bool m_ended = false;
};

class Bzip2Unpacker final : public StreamUnpacker {
  public:
    explicit Bzip2Unpacker(FilePtr file, std::int64_t limit)
        : StreamUnpacker(std::move(file), limit) {}
    ~Bzip2Unpacker() override {
        if (m_started) BZ2_bzDecompressEnd(&m_bz);
    }
    bool start() {
        m_started = BZ2_bzDecompressInit(&m_bz, 0, 0) == BZ_OK;
        return m_started;
    }

  private:
    Result<std::size_t, ImportError> unpack(char* out, std::size_t n) override {
        m_bz.next_out = out;
        m_bz.avail_out = static_cast<unsigned>(std::min<std::size_t>(n, 1u << 30));
        const unsigned wanted = m_bz.avail_out;
        while (m_bz.avail_out == wanted) {
            if (m_bz.avail_in == 0) {
                auto more = refill();
                if (!more) return more.error();
                if (!more.value()) {
                    if (m_ended) return std::size_t{0};
                    return DamagedStream(Packing::Bzip2);
                }
                m_bz.next_in = m_in;
                m_bz.avail_in = static_cast<unsigned>(m_inLength);
            }
            if (m_ended) {
                BZ2_bzDecompressEnd(&m_bz);
                m_started = false;
                // Another stream follows the last one's end: start it afresh where that ended.
                const bz_stream at = m_bz;
                m_bz = bz_stream{};
                if (!start()) throw std::bad_alloc();
                m_bz.next_in = at.next_in;
                m_bz.avail_in = at.avail_in;
                m_bz.next_out = at.next_out;
                m_bz.avail_out = at.avail_out;
                m_ended = false;
            }
            const int rc = BZ2_bzDecompress(&m_bz);
            if (rc == BZ_MEM_ERROR) throw std::bad_alloc();
            if (rc == BZ_STREAM_END) {
                m_ended = true;
                continue;
            }
            if (rc != BZ_OK) return DamagedStream(Packing::Bzip2);
        }
        return static_cast<std::size_t>(wanted - m_bz.avail_out);
    }

    bz_stream m_bz{};
    bool m_started = false;
    bool m_ended = false;
};

class XzUnpacker final : public StreamUnpacker {
  public:
    explicit XzUnpacker(FilePtr file, std::int64_t limit)
        : StreamUnpacker(std::move(file), limit) {}
    ~XzUnpacker() override { lzma_end(&m_xz); }
    bool start() {
        // Concatenated streams are read whole; the decoder's memory is held to 1 GB.
        return lzma_stream_decoder(&m_xz, std::uint64_t{1} << 30, LZMA_CONCATENATED) == LZMA_OK;
    }

  private:
    Result<std::size_t, ImportError> unpack(char* out, std::size_t n) override {
        m_xz.next_out = reinterpret_cast<std::uint8_t*>(out);
        m_xz.avail_out = n;
        while (m_xz.avail_out == n && !m_ended) {
            lzma_action action = LZMA_RUN;
            if (m_xz.avail_in == 0 && !m_atEnd) {
                auto more = refill();
                if (!more) return more.error();
                m_atEnd = !more.value();
                m_xz.next_in = reinterpret_cast<const std::uint8_t*>(m_in);
                m_xz.avail_in = m_inLength;
            }
            if (m_atEnd) action = LZMA_FINISH;
            const lzma_ret rc = lzma_code(&m_xz, action);
            if (rc == LZMA_MEM_ERROR) throw std::bad_alloc();
            if (rc == LZMA_STREAM_END) {
                m_ended = true;
                break;
            }
            if (rc != LZMA_OK) return DamagedStream(Packing::Xz);
        }
        return n - m_xz.avail_out;
    }

    lzma_stream m_xz = LZMA_STREAM_INIT;
    bool m_atEnd = false;
    bool m_ended = false;
};

template <typename Unpacker>
Result<std::unique_ptr<StreamUnpacker>, ImportError> Started(FilePtr file, std::int64_t limit) {
    auto unpacker = std::make_unique<Unpacker>(std::move(file), limit);
    if (!unpacker->start()) throw std::bad_alloc();
    return std::unique_ptr<StreamUnpacker>(std::move(unpacker));
}

}  // namespace

Result<std::unique_ptr<StreamUnpacker>, ImportError> StreamUnpacker::Open(FilePtr file,
                                                                          Packing packing,
                                                                          std::int64_t packedSize) {
    const std::int64_t limit = UnpackLimit(packedSize);
    switch (packing) {
        case Packing::Gzip:
            return Started<GzipUnpacker>(std::move(file), limit);
        case Packing::Bzip2:
            return Started<Bzip2Unpacker>(std::move(file), limit);
        case Packing::Xz:
            return Started<XzUnpacker>(std::move(file), limit);
        case Packing::None:
            break;
    }
    return ImportError::Unreadable("the file is not compressed");
}

}  // namespace corvane
