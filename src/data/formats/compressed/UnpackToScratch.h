#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/ImportError.h"
#include "data/formats/compressed/ScratchFile.h"
#include "data/formats/compressed/StreamUnpack.h"

namespace corvane {

// The packed file at `path` (gzip, bzip2 or xz, as `packing` says) unpacked in pieces into a
// scratch file whose name ends in `suffix`; the unpacker's limit and its messages hold.
Result<std::unique_ptr<ScratchFile>, ImportError> UnpackToScratch(const std::string& path,
                                                                  Packing packing,
                                                                  std::string_view suffix);

// The first `n` unpacked bytes of the packed file (fewer when it unpacks to fewer), to tell
// what it holds without unpacking it all.
Result<std::string, ImportError> UnpackedHead(const std::string& path, Packing packing,
                                              std::size_t n);

// Why libzip could not open a zip archive, from its error code.
ImportError ZipOpenFailure(int code);

// One file in a zip archive, by its place in the archive's directory.
struct ZipFile {
    std::string name;  // as the archive stores it, folders included: "survey/wave1.csv"
    std::int64_t index = 0;
    std::int64_t size = 0;  // unpacked, as the directory says
};

// The files of a zip archive, in the order it lists them: its entries but folders and what
// macOS's archiver adds beside them (__MACOSX/ and "._" files). Read from the archive's
// directory; nothing is unpacked.
Result<std::vector<ZipFile>, ImportError> ListZipFiles(const std::string& path);

// One file of the zip archive unpacked in pieces into a scratch file, held to the same limit
// as a packed stream (UnpackLimit).
Result<std::unique_ptr<ScratchFile>, ImportError> UnpackZipFile(const std::string& path,
                                                                const ZipFile& file,
                                                                std::string_view suffix);

}  // namespace corvane
