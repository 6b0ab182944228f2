#include "data/formats/sheets/CompoundFile.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string_view>

namespace corvane {

namespace {

constexpr std::string_view kSignature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
constexpr std::uint32_t kLastRegularSector = 0xFFFFFFFA;
constexpr std::size_t kHeaderBytes = 512;
constexpr std::size_t kHeaderFatSectors = 109;
constexpr std::size_t kEntryBytes = 128;
constexpr unsigned char kStreamEntry = 2;
constexpr unsigned char kRootEntry = 5;
// Streams shorter than this live in the mini stream.
constexpr std::uint64_t kMiniStreamCutoff = 4096;

std::uint32_t U32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

class SectorFile {
  public:
    explicit SectorFile(const std::string& path)
        : m_file(std::fopen(path.c_str(), "rb"), std::fclose) {}

    // Reads the header and the FAT's sector numbers; false when this is no compound file.
    bool open() {
        if (!m_file || fseeko(m_file.get(), 0, SEEK_END) != 0) return false;
        const off_t size = ftello(m_file.get());
        unsigned char h[kHeaderBytes];
        if (size < static_cast<off_t>(kHeaderBytes) || !readAt(0, h, kHeaderBytes)) return false;
        if (std::string_view(reinterpret_cast<const char*>(h), 8) != kSignature) return false;
        const std::uint16_t shift = U16(h + 30);
        if (U16(h + 28) != 0xFFFE || (shift != 9 && shift != 12)) return false;
        m_sectorBytes = std::size_t{1} << shift;
        // Sector n starts right after the header's own sector.
        m_sectors = static_cast<std::uint64_t>(size) / m_sectorBytes;
        m_sectors = m_sectors == 0 ? 0 : m_sectors - 1;
        m_firstDirectory = U32(h + 48);
        m_firstMiniFat = U32(h + 60);

        const std::uint64_t fatSectors = std::min<std::uint64_t>(U32(h + 44), m_sectors);
        for (std::size_t i = 0; i < kHeaderFatSectors && m_fat.size() < fatSectors; ++i)
            m_fat.push_back(U32(h + 76 + 4 * i));
        std::uint32_t difat = U32(h + 68);
        std::vector<unsigned char> s(m_sectorBytes);
        const std::size_t perDifat = m_sectorBytes / 4 - 1;
        for (std::uint64_t steps = 0; m_fat.size() < fatSectors && steps < m_sectors; ++steps) {
            if (!readSector(difat, s.data())) break;
            for (std::size_t i = 0; i < perDifat && m_fat.size() < fatSectors; ++i)
                m_fat.push_back(U32(s.data() + 4 * i));
            difat = U32(s.data() + 4 * perDifat);
        }
        return true;
    }

    std::uint32_t firstDirectory() const { return m_firstDirectory; }
    std::uint32_t firstMiniFat() const { return m_firstMiniFat; }

    // The first `bytes` of the chain of sectors from `start`; none when it breaks before.
    std::optional<std::string> chain(std::uint32_t start, std::size_t bytes) {
        std::string out;
        std::vector<unsigned char> sector(m_sectorBytes);
        std::optional<std::uint32_t> at = start;
        for (std::uint64_t steps = 0; out.size() < bytes && at && steps < m_sectors; ++steps) {
            if (!readSector(*at, sector.data())) return std::nullopt;
            out.append(reinterpret_cast<const char*>(sector.data()),
                       std::min(sector.size(), bytes - out.size()));
            at = next(*at);
        }
        if (out.size() < bytes) return std::nullopt;
        return out;
    }
    std::uint64_t sectors() const { return m_sectors; }
    std::size_t sectorBytes() const { return m_sectorBytes; }

    bool readSector(std::uint32_t n, unsigned char* out) {
        if (n > kLastRegularSector || n >= m_sectors) return false;
        return readAt((static_cast<std::uint64_t>(n) + 1) * m_sectorBytes, out, m_sectorBytes);
    }

    // The sector after `n` in its chain, by the FAT; none when the FAT does not reach it.
    std::optional<std::uint32_t> next(std::uint32_t n) {
        const std::size_t perFat = m_sectorBytes / 4;
        const std::uint64_t fatIndex = n / perFat;
        if (fatIndex >= m_fat.size() || m_fat[fatIndex] > kLastRegularSector ||
            m_fat[fatIndex] >= m_sectors)
            return std::nullopt;
        unsigned char entry[4];
        const std::uint64_t at =
            (std::uint64_t{m_fat[fatIndex]} + 1) * m_sectorBytes + (n % perFat) * 4;
        if (!readAt(at, entry, 4)) return std::nullopt;
        return U32(entry);
    }

  private:
    bool readAt(std::uint64_t offset, unsigned char* out, std::size_t bytes) {
        return fseeko(m_file.get(), static_cast<off_t>(offset), SEEK_SET) == 0 &&
               std::fread(out, 1, bytes, m_file.get()) == bytes;
    }

    std::unique_ptr<std::FILE, int (*)(std::FILE*)> m_file;
    std::size_t m_sectorBytes = 0;
    std::uint64_t m_sectors = 0;
    std::uint32_t m_firstDirectory = 0;
    std::uint32_t m_firstMiniFat = 0;
    std::vector<std::uint32_t> m_fat;
};

// A stream's directory entry: its name, first sector and size.
struct StreamEntry {
    bool root = false;  // the root entry, whose chain holds the mini stream
    std::u16string name;
    std::uint32_t start = 0;
    std::uint64_t size = 0;
};

// Each stream entry of the directory, in order, handed to `use` until it returns false.
template <class Use>
void ForEachStream(SectorFile& file, Use&& use) {
    std::vector<unsigned char> sector(file.sectorBytes());
    std::optional<std::uint32_t> at = file.firstDirectory();
    // A chain longer than the file has sectors runs in a circle.
    for (std::uint64_t steps = 0; at && steps < file.sectors(); ++steps) {
        if (!file.readSector(*at, sector.data())) break;
        for (std::size_t e = 0; e + kEntryBytes <= sector.size(); e += kEntryBytes) {
            const unsigned char* entry = sector.data() + e;
            // The length counts the name's terminating zero, in bytes.
            const std::uint16_t length = U16(entry + 64);
            if ((entry[66] != kStreamEntry && entry[66] != kRootEntry) || length < 2 ||
                length > 64 || length % 2 != 0)
                continue;
            StreamEntry s;
            s.root = entry[66] == kRootEntry;
            for (std::size_t i = 0; i + 2 < length; i += 2)
                s.name += static_cast<char16_t>(U16(entry + i));
            s.start = U32(entry + 116);
            s.size = U32(entry + 120);  // the high half is not used by 512-byte sectors
            if (!use(std::move(s))) return;
        }
        at = file.next(*at);
    }
}

// The first `bytes` of a stream held in the mini stream from mini sector `start`: the mini
// stream is the root entry's chain, cut into 64-byte sectors chained by the mini FAT.
std::optional<std::string> MiniStream(SectorFile& file, const StreamEntry& root,
                                      std::uint32_t start, std::size_t bytes) {
    constexpr std::size_t kMiniSector = 64;
    // The mini stream of a workbook's container holds a few small streams; 16 MB is ample.
    const auto container = file.chain(
        root.start, static_cast<std::size_t>(std::min<std::uint64_t>(root.size, 16 << 20)));
    if (!container) return std::nullopt;
    std::vector<std::uint32_t> miniFat;
    std::vector<unsigned char> sector(file.sectorBytes());
    std::optional<std::uint32_t> at = file.firstMiniFat();
    for (std::uint64_t steps = 0;
         at && steps < file.sectors() && file.readSector(*at, sector.data());
         ++steps, at = file.next(*at))
        for (std::size_t i = 0; i + 4 <= sector.size(); i += 4) miniFat.push_back(U32(&sector[i]));
    std::string out;
    std::uint32_t mini = start;
    for (std::size_t steps = 0; out.size() < bytes && steps <= miniFat.size(); ++steps) {
        const std::size_t from = std::size_t{mini} * kMiniSector;
        if (mini > kLastRegularSector || from + kMiniSector > container->size())
            return std::nullopt;
        out.append(*container, from, std::min(kMiniSector, bytes - out.size()));
        if (mini >= miniFat.size()) break;
        mini = miniFat[mini];
    }
    if (out.size() < bytes) return std::nullopt;
    return out;
}

}  // namespace

std::vector<std::u16string> CompoundStreamNames(const std::string& path) {
    SectorFile file(path);
    std::vector<std::u16string> names;
    if (!file.open()) return names;
    ForEachStream(file, [&](StreamEntry s) {
        if (!s.root) names.push_back(std::move(s.name));
        return true;
    });
    return names;
}

std::optional<std::string> CompoundStream(const std::string& path, std::u16string_view name,
                                          std::size_t limit) {
    SectorFile file(path);
    if (!file.open()) return std::nullopt;
    std::optional<StreamEntry> found, root;
    ForEachStream(file, [&](StreamEntry s) {
        if (s.root && !root) root = s;
        if (!s.root && s.name == name) found = std::move(s);
        return !found;
    });
    if (!found) return std::nullopt;
    const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(found->size, limit));
    if (found->size >= kMiniStreamCutoff) return file.chain(found->start, want);
    if (!root) return std::nullopt;
    return MiniStream(file, *root, found->start, want);
}

}  // namespace corvane
