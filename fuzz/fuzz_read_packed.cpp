// The import's front door on arbitrary packed bytes: the first byte picks the file's name (a
// .csv.gz, .csv.bz2, .csv.xz, .zip or a name that says nothing) and the file of a zip archive
// to read; the content decides how it is unpacked. A success is a whole data set said to be
// read from a packed file; a failure has its text and leaves the data set loaded before as it
// was; either way no scratch file is left behind.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "FuzzFiles.h"
#include "data/import/ImportDataFile.h"
#include "data/modGeneral.h"

using namespace corvane;
namespace g = corvane::modGeneral;

namespace {

constexpr const char* kNames[] = {"data.csv.gz", "data.csv.bz2", "data.csv.xz", "data.zip", "data"};

// The scratch files go to a folder of the run's own, to be found empty after every input.
const std::string& ScratchFolder() {
    static const std::string folder = [] {
        const std::string path = FuzzDirectory() + "/scratch";
        std::filesystem::create_directory(path);
        ::setenv("TMPDIR", path.c_str(), 1);
        return path;
    }();
    return folder;
}

void CheckSuccess(const DataSet& d, std::string_view content) {
    FUZZ_CHECK(d.cases() >= 0 && d.variables() >= 0);
    FUZZ_CHECK(d.variables() <= DataMatrix::kMaxVariables);
    FUZZ_CHECK(d.matrix().allocated() && d.matrix().rows() == d.cases());
    FUZZ_CHECK(d.matrix().storedColumns() == d.variables());
    for (std::int32_t v = 1; v <= d.variables(); ++v)
        for (std::int32_t c = 1; c <= d.cases(); ++c)
            FUZZ_CHECK(std::isfinite(d.matrix().at(c, v)));
    // A packed stream is read as what it holds, and says so.
    const std::string& as = d.readAs();
    FUZZ_CHECK(!as.empty());
    if (content.starts_with("\x1f\x8b\x08")) FUZZ_CHECK(as.starts_with("gzip-compressed "));
    if (content.starts_with(std::string_view("\xfd"
                                             "7zXZ\0",
                                             6)))
        FUZZ_CHECK(as.starts_with("xz-compressed "));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string& scratch = ScratchFolder();
    const char* name = kNames[data[0] % std::size(kNames)];
    const SheetChoice sheet{"", static_cast<std::int32_t>(data[0] / std::size(kNames) % 3)};
    const std::string path = WriteFuzzFile(name, reinterpret_cast<const char*>(data) + 1, size - 1);
    g::Replace(DataSet(DataSet::Contents{DataMatrix(1, 1, 7.0f), 1, 1, {}, {}}));
    auto r = ImportDataFile(path, kDetectFormat, {}, sheet);
    if (r) {
        CheckSuccess(r.value(),
                     std::string_view(reinterpret_cast<const char*>(data) + 1, size - 1));
        g::Replace(std::move(r).value());
    } else {
        FUZZ_CHECK(!ImportErrorText(r.error(), path).empty());
        FUZZ_CHECK(g::Current()->cases() == 1 && g::Current()->matrix().at(1, 1) == 7.0f);
    }
    FUZZ_CHECK(std::filesystem::is_empty(scratch));
    std::filesystem::remove(path);
    return 0;
}
