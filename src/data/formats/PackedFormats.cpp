#include "data/formats/PackedFormats.h"

#include <filesystem>
#include <optional>
#include <utility>

#include "data/OpenDataFile.h"
#include "data/formats/FormatRegistry.h"
#include "data/formats/compressed/UnpackToScratch.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

namespace {

using ReadFunction = decltype(FormatRow::read);
using SheetsFunction = decltype(FormatRow::sheets);

ImportError Nested() {
    return ImportError::Unreadable(
        "it holds another compressed file; unpack the outer one and import what it holds");
}

// The name of what a packed file holds: "trial.csv.gz" -> "trial.csv".
std::string InnerName(const std::string& path, Packing packing) {
    const std::string name = std::filesystem::path(path).filename().string();
    const std::string extension = FormatRegistry::LowerExtension(name);
    const bool packed = (packing == Packing::Gzip && extension == ".gz") ||
                        (packing == Packing::Bzip2 && extension == ".bz2") ||
                        (packing == Packing::Xz && extension == ".xz");
    return packed ? name.substr(0, name.size() - extension.size()) : name;
}

// Whether a head is that of a packed file, which is not looked into once more.
bool IsPacked(std::string_view head) {
    return SniffPacking(head) != Packing::None || SniffWorkbook(head) == WorkbookKind::Zip;
}

// The unpacked file read by the registry's row for it: "gzip-compressed " before its "Read as".
Result<FormatRead, ImportError> ReadUnpacked(const FormatInput& in, const ScratchFile& scratch,
                                             const std::string& innerName, const SheetChoice& sheet,
                                             const char* packedBy) {
    auto head = ReadFileHead(scratch.path());
    if (!head) return head.error();
    const FormatRegistry& formats = in.formats ? *in.formats : FormatRegistry::Builtin();
    const FormatRow& row =
        formats.detect(head.value().bytes, FormatRegistry::LowerExtension(innerName));
    auto read = row.read(
        FormatInput{scratch.path(), head.value(), in.options, sheet, &formats, /*unpacked=*/true});
    if (!read) return read.error();
    read.value().readAs = std::string(packedBy) + "-compressed " + read.value().readAs;
    if (!read.value().source) read.value().source = row.source;
    return read;
}

FormatRow StreamRow(Packing packing, std::string extension, std::string mimeType,
                    std::string looksLike) {
    auto read = [packing](const FormatInput& in) -> Result<FormatRead, ImportError> {
        if (in.unpacked) return Nested();
        if (SniffPacking(in.head.bytes) != packing)
            return ImportError::Unreadable(std::string("it is not ") + PackingName(packing) +
                                           "-compressed, whatever its name says");
        const std::string inner = InnerName(in.path, packing);
        auto scratch = UnpackToScratch(in.path, packing, FormatRegistry::LowerExtension(inner));
        if (!scratch) return scratch.error();
        return ReadUnpacked(in, *scratch.value(), inner, in.sheet, PackingName(packing));
    };
    // Only a workbook inside has sheets, which its head tells before the rest is unpacked.
    auto sheets =
        [packing](const std::string& path) -> Result<std::vector<SheetInfo>, ImportError> {
        auto head = UnpackedHead(path, packing, kFileHeadBytes);
        if (!head || IsPacked(head.value()))
            return std::vector<SheetInfo>{};  // the import says why
        const std::string inner = InnerName(path, packing);
        const FormatRow& row =
            FormatRegistry::Builtin().detect(head.value(), FormatRegistry::LowerExtension(inner));
        if (!row.sheets) return std::vector<SheetInfo>{};
        auto scratch = UnpackToScratch(path, packing, FormatRegistry::LowerExtension(inner));
        if (!scratch) return scratch.error();
        return row.sheets(scratch.value()->path());
    };
    return {.name = std::string(PackingName(packing)) + "-compressed file",
            .source = DataSource::TextFile,
            .extensions = {std::move(extension)},
            .mimeTypes = {std::move(mimeType)},
            .caption = "Compressed files",
            .help = "any of them compressed by gzip, bzip2 or xz, or in a zip archive",
            .looksLike = std::move(looksLike),
            .sniff = [packing](std::string_view head) { return SniffPacking(head) == packing; },
            .read = std::move(read),
            .sheets = std::move(sheets)};
}

std::string_view BaseName(std::string_view name) {
    const std::size_t slash = name.rfind('/');
    return slash == std::string_view::npos ? name : name.substr(slash + 1);
}

ImportError SeveralFiles(const std::vector<ZipFile>& files) {
    std::string names;
    for (std::size_t i = 0; i < files.size() && i < 5; ++i)
        names += (i ? ", " : "") + files[i].name;
    if (files.size() > 5) names += ", ...";
    return ImportError::Unreadable("the zip archive holds " + std::to_string(files.size()) +
                                   " files (" + names +
                                   "); say which to read by its name or number, as a "
                                   "workbook's sheet");
}

// The index of the file chosen, as a workbook's sheet is: by its name (the name without its
// folders will do when no other file has it) or its number from 1. Without a choice, the only
// file; of several none is guessed.
Result<std::size_t, ImportError> ChosenFile(const std::vector<ZipFile>& files,
                                            const SheetChoice& choice) {
    if (!choice.name.empty()) {
        for (std::size_t i = 0; i < files.size(); ++i)
            if (files[i].name == choice.name) return i;
        std::optional<std::size_t> found;
        for (std::size_t i = 0; i < files.size(); ++i) {
            if (BaseName(files[i].name) != choice.name) continue;
            if (found)
                return ImportError::Unreadable("the zip archive holds several files named \"" +
                                               choice.name + "\"; name one with its folders");
            found = i;
        }
        if (found) return *found;
        return ImportError::Unreadable("the zip archive holds no file named \"" + choice.name +
                                       "\"");
    }
    if (choice.number != 0) {
        if (choice.number < 1 || static_cast<std::size_t>(choice.number) > files.size())
            return ImportError::Unreadable("the zip archive has no file " +
                                           std::to_string(choice.number) + ", only " +
                                           std::to_string(files.size()));
        return static_cast<std::size_t>(choice.number - 1);
    }
    if (files.size() == 1) return std::size_t{0};
    return SeveralFiles(files);
}

Result<FormatRead, ImportError> ReadZipFile(const FormatInput& in) {
    if (in.unpacked) return Nested();
    auto files = ListZipFiles(in.path);
    if (!files) return files.error();
    auto at = ChosenFile(files.value(), in.sheet);
    if (!at) return at.error();
    const ZipFile& file = files.value()[at.value()];
    auto scratch = UnpackZipFile(in.path, file, FormatRegistry::LowerExtension(file.name));
    if (!scratch) return scratch.error();
    auto read = ReadUnpacked(in, *scratch.value(), file.name, SheetChoice{}, "zip");
    if (read && files.value().size() > 1)
        read.value().readAs += ", file \"" + file.name + "\" (" + std::to_string(at.value() + 1) +
                               " of " + std::to_string(files.value().size()) + ")";
    return read;
}

// A zip archive whose first entry does not say it is a workbook: looked into, it is read as a
// workbook or as the data file it holds.
FormatRow ZipRow(ReadFunction workbookRead, SheetsFunction workbookSheets) {
    auto read = [workbookRead](const FormatInput& in) -> Result<FormatRead, ImportError> {
        auto kind = ZipArchiveKind(in.path);
        if (!kind) return kind.error();
        if (kind.value() == WorkbookKind::Zip) return ReadZipFile(in);
        auto read = workbookRead(in);
        if (read) read.value().source = DataSource::Workbook;
        return read;
    };
    auto sheets =
        [workbookSheets](const std::string& path) -> Result<std::vector<SheetInfo>, ImportError> {
        auto kind = ZipArchiveKind(path);
        if (!kind) return kind.error();
        if (kind.value() != WorkbookKind::Zip) return workbookSheets(path);
        auto files = ListZipFiles(path);
        if (!files) return files.error();
        std::vector<SheetInfo> list;
        for (const ZipFile& f : files.value())
            list.push_back({.name = f.name, .rows = 0, .columns = 0, .bytes = f.size});
        return list;
    };
    return {.name = "zip archive",
            .source = DataSource::TextFile,
            .extensions = {".zip"},
            .mimeTypes = {"application/zip"},
            .caption = "Compressed files",
            .help = "any of them compressed by gzip, bzip2 or xz, or in a zip archive",
            .looksLike = "a zip archive",
            .sniff = [](std::string_view head) { return SniffWorkbook(head) == WorkbookKind::Zip; },
            .read = std::move(read),
            .sheets = std::move(sheets)};
}

}  // namespace

std::vector<FormatRow> PackedRows(ReadFunction workbookRead, SheetsFunction workbookSheets) {
    return {StreamRow(Packing::Gzip, ".gz", "application/gzip", "a gzip-compressed file"),
            StreamRow(Packing::Bzip2, ".bz2", "application/x-bzip2", "a bzip2-compressed file"),
            StreamRow(Packing::Xz, ".xz", "application/x-xz", "an xz-compressed file"),
            ZipRow(std::move(workbookRead), std::move(workbookSheets))};
}

}  // namespace corvane
