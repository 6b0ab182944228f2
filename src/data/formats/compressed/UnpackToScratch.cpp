#include "data/formats/compressed/UnpackToScratch.h"

#include <sys/stat.h>

#include <vector>

#include "data/OpenDataFile.h"

namespace corvane {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 16;

Result<std::unique_ptr<StreamUnpacker>, ImportError> OpenUnpacker(const std::string& path,
                                                                  Packing packing) {
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    struct stat st {};
    std::int64_t size = 0;
    if (::fstat(::fileno(file.value().get()), &st) == 0) size = st.st_size;
    return StreamUnpacker::Open(std::move(file.value()), packing, size);
}

}  // namespace

Result<std::unique_ptr<ScratchFile>, ImportError> UnpackToScratch(const std::string& path,
                                                                  Packing packing,
                                                                  std::string_view suffix) {
    auto unpacker = OpenUnpacker(path, packing);
    if (!unpacker) return unpacker.error();
    auto scratch = ScratchFile::Create(suffix);
    if (!scratch) return scratch.error();
    std::vector<char> piece(kPiece);
    for (;;) {
        auto n = unpacker.value()->read(piece.data(), piece.size());
        if (!n) return n.error();
        if (n.value() == 0) break;
        if (auto failed = scratch.value()->write(piece.data(), n.value())) return *failed;
    }
    if (auto failed = scratch.value()->finish()) return *failed;
    return std::move(scratch.value());
}

Result<std::string, ImportError> UnpackedHead(const std::string& path, Packing packing,
                                              std::size_t n) {
    auto unpacker = OpenUnpacker(path, packing);
    if (!unpacker) return unpacker.error();
    std::string head(n, '\0');
    std::size_t got = 0;
    while (got < n) {
        auto more = unpacker.value()->read(head.data() + got, n - got);
        if (!more) return more.error();
        if (more.value() == 0) break;
        got += more.value();
    }
    head.resize(got);
    return head;
}

}  // namespace corvane
