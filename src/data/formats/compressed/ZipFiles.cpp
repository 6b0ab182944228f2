// The files of a zip archive through libzip: listed from its directory, one unpacked in pieces.
#include <zip.h>

#include <algorithm>
#include <vector>

#include "data/OpenDataFile.h"
#include "data/formats/compressed/UnpackToScratch.h"

namespace corvane {

namespace {

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
using ArchivePtr = std::unique_ptr<zip_t, ArchiveCloser>;

struct EntryCloser {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};
using EntryPtr = std::unique_ptr<zip_file_t, EntryCloser>;

Result<ArchivePtr, ImportError> OpenArchive(const std::string& path) {
    // Only a regular file: a pipe or a device named data.zip would block the import.
    auto file = OpenDataFile(path);
    if (!file) return file.error();
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (archive != nullptr) return ArchivePtr(archive);
    return ZipOpenFailure(code);
}

// A folder, or what macOS's archiver stores beside each file.
bool IsNoDataFile(std::string_view name) {
    if (name.empty() || name.ends_with('/')) return true;
    if (name.starts_with("__MACOSX/")) return true;
    const std::size_t slash = name.rfind('/');
    const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    return base.starts_with("._");
}

ImportError EntryFailure(const ZipFile& file, const std::string& why) {
    return ImportError::Unreadable("the file " + file.name + " in the zip archive cannot be " +
                                   "unpacked: " + why);
}

Result<EntryPtr, ImportError> OpenEntry(zip_t* archive, const ZipFile& file) {
    zip_file_t* entry = zip_fopen_index(archive, static_cast<zip_uint64_t>(file.index), 0);
    if (entry != nullptr) return EntryPtr(entry);
    const int code = zip_error_code_zip(zip_get_error(archive));
    if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD)
        return ImportError::Unreadable(
            "the zip archive is protected by a password; unpack it and import the file itself");
    if (code == ZIP_ER_COMPNOTSUPP || code == ZIP_ER_ENCRNOTSUPP)
        return EntryFailure(file, "its packing method is not supported");
    if (code == ZIP_ER_MEMORY) return ImportError::Of(ImportError::Kind::OutOfMemory);
    return EntryFailure(file, zip_strerror(archive));
}

}  // namespace

ImportError ZipOpenFailure(int code) {
    switch (code) {
        case ZIP_ER_NOZIP:
            return ImportError::Unreadable("the file is not a zip archive, or its end is missing");
        case ZIP_ER_INCONS:
            return ImportError::Unreadable("the zip archive is damaged");
        case ZIP_ER_MEMORY:
            return ImportError::Of(ImportError::Kind::OutOfMemory);
        default: {
            zip_error_t e;
            zip_error_init_with_code(&e, code);
            std::string reason = zip_error_strerror(&e);
            zip_error_fini(&e);
            return ImportError::Unreadable(std::move(reason));
        }
    }
}

Result<std::vector<ZipFile>, ImportError> ListZipFiles(const std::string& path) {
    auto archive = OpenArchive(path);
    if (!archive) return archive.error();
    std::vector<ZipFile> files;
    const zip_int64_t count = zip_get_num_entries(archive.value().get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(archive.value().get(), static_cast<zip_uint64_t>(i), 0, &st) != 0 ||
            !(st.valid & ZIP_STAT_NAME))
            return ImportError::Unreadable("the zip archive is damaged");
        if (IsNoDataFile(st.name)) continue;
        const std::int64_t size =
            (st.valid & ZIP_STAT_SIZE) ? static_cast<std::int64_t>(st.size) : std::int64_t{0};
        files.push_back({st.name, i, size});
    }
    if (files.empty()) return ImportError::Unreadable("the zip archive holds no files");
    return files;
}

Result<std::unique_ptr<ScratchFile>, ImportError> UnpackZipFile(const std::string& path,
                                                                const ZipFile& file,
                                                                std::string_view suffix) {
    auto archive = OpenArchive(path);
    if (!archive) return archive.error();
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(archive.value().get(), static_cast<zip_uint64_t>(file.index), 0, &st) != 0)
        return EntryFailure(file, zip_strerror(archive.value().get()));
    const std::int64_t packed =
        (st.valid & ZIP_STAT_COMP_SIZE) ? static_cast<std::int64_t>(st.comp_size) : 0;
    const std::int64_t limit = UnpackLimit(packed);
    auto entry = OpenEntry(archive.value().get(), file);
    if (!entry) return entry.error();
    auto scratch = ScratchFile::Create(suffix);
    if (!scratch) return scratch.error();
    std::vector<char> piece(std::size_t{1} << 16);
    for (;;) {
        const zip_int64_t n = zip_fread(entry.value().get(), piece.data(), piece.size());
        if (n < 0) {
            const int code = zip_error_code_zip(zip_file_get_error(entry.value().get()));
            if (code == ZIP_ER_MEMORY) return ImportError::Of(ImportError::Kind::OutOfMemory);
            return EntryFailure(file, "it is damaged or cut short (" +
                                          std::string(zip_file_strerror(entry.value().get())) +
                                          ")");
        }
        if (n == 0) break;
        if (scratch.value()->written() + n > limit) return OverUnpackLimit();
        if (auto failed = scratch.value()->write(piece.data(), static_cast<std::size_t>(n)))
            return *failed;
    }
    if (auto failed = scratch.value()->finish()) return *failed;
    return std::move(scratch.value());
}

}  // namespace corvane
