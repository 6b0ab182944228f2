#include "data/formats/sheets/Workbook.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <utility>

#include "data/OpenDataFile.h"
#include "data/OutOfMemory.h"
#include "data/formats/sheets/CompoundFile.h"
#include "data/formats/sheets/OdsReader.h"
#include "data/formats/sheets/SheetReader.h"
#include "data/formats/sheets/XlsReader.h"
#include "data/formats/sheets/XlsxParts.h"
#include "data/formats/sheets/XlsxReader.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

constexpr std::string_view kOdsType = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

// Only a regular file is opened: a pipe or a device named data.xlsx would block the import.
Result<std::string, ImportError> ReadHead(const std::string& path, std::size_t limit) {
    auto f = OpenDataFile(path);
    if (!f) return f.error();
    std::string head(limit, '\0');
    const std::size_t n = std::fread(head.data(), 1, limit, f.value().get());
    if (std::ferror(f.value().get())) return ImportError::Unreadable(errno);
    head.resize(n);
    return head;
}

// A password-protected .xlsx is a compound file holding the encrypted zip and the key's
// description, no workbook stream.
bool IsEncryptedPackage(const std::string& path) {
    bool info = false, package = false;
    for (const std::u16string& name : CompoundStreamNames(path)) {
        info = info || name == u"EncryptionInfo";
        package = package || name == u"EncryptedPackage";
    }
    return info && package;
}

// Which reader a zipped workbook needs, looking inside; for an Excel workbook, its workbook part.
struct ZipContent {
    WorkbookKind kind = WorkbookKind::None;
    std::string workbookPart;
};

// Kind Zip when the archive holds no workbook.
Result<ZipContent, ImportError> ZipContentOf(ZipPackage& zip) {
    if (auto part = FindWorkbookPart(zip)) return ZipContent{WorkbookKind::Xlsx, std::move(*part)};
    if (zip.has("mimetype")) {
        auto type = zip.readShort("mimetype", 128);
        if (!type) return type.error();
        if (type.value() == kOdsType) return ZipContent{WorkbookKind::Ods, {}};
        if (std::string_view(type.value()).starts_with("application/vnd.oasis.opendocument."))
            return ImportError::Unreadable(
                "the file is an OpenDocument file, but not a spreadsheet");
    }
    return ZipContent{WorkbookKind::Zip, {}};
}

Result<ZipContent, ImportError> ZipKind(ZipPackage& zip) {
    auto content = ZipContentOf(zip);
    if (content && content.value().kind == WorkbookKind::Zip)
        return ImportError::Unreadable(
            "the zip archive holds no Excel or OpenDocument spreadsheet");
    return content;
}

// Hands the reader of a zipped workbook, chosen by looking inside, to `use`.
template <class Use>
auto WithZipReader(ZipPackage& zip, Use&& use) -> decltype(use(std::declval<SheetReader&>())) {
    auto content = ZipKind(zip);
    if (!content) return content.error();
    if (content.value().kind == WorkbookKind::Xlsx) {
        XlsxReader reader(zip, std::move(content.value().workbookPart));
        return use(reader);
    }
    OdsReader reader(zip);
    return use(reader);
}

// Hands the reader of the workbook at `path`, chosen by its first bytes `head`, to `use`.
template <class Use>
auto WithReader(const std::string& path, std::string_view head, Use&& use)
    -> decltype(use(std::declval<SheetReader&>())) {
    return CatchingOutOfMemory([&]() -> decltype(use(std::declval<SheetReader&>())) {
        if (head.starts_with(kOle2Signature)) {
            if (IsEncryptedPackage(path)) return ImportError::PasswordProtected();
            XlsReader reader(path);
            return use(reader);
        }
        if (!head.starts_with("PK"))
            return ImportError::Unreadable("the file is not an Excel or OpenDocument workbook");
        auto zip = ZipPackage::Open(path);
        if (!zip) return zip.error();
        return WithZipReader(*zip.value(), use);
    });
}

}  // namespace

WorkbookKind SniffWorkbook(std::string_view b) {
    if (b.starts_with(kOle2Signature)) return WorkbookKind::Xls;
    if (!b.starts_with("PK\x03\x04") || b.size() < 30) return WorkbookKind::None;
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(b[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(b[at + 1])) << 8;
    };
    const std::size_t nameLength = u16(26), extraLength = u16(28);
    const std::string_view name = b.substr(30, nameLength);
    if (name == "mimetype") {
        const std::string_view content =
            b.substr(std::min(b.size(), 30 + nameLength + extraLength));
        if (content.starts_with(kOdsType)) return WorkbookKind::Ods;
    }
    if (name == "[Content_Types].xml" || name.starts_with("xl/") || name.starts_with("_rels/") ||
        name.starts_with("docProps/"))
        return WorkbookKind::Xlsx;
    return WorkbookKind::Zip;
}

Result<WorkbookKind, ImportError> ZipArchiveKind(const std::string& path) {
    return CatchingOutOfMemory([&]() -> Result<WorkbookKind, ImportError> {
        auto zip = ZipPackage::Open(path);
        if (!zip) return zip.error();
        auto content = ZipContentOf(*zip.value());
        if (!content) return content.error();
        return content.value().kind;
    });
}

Result<std::vector<SheetInfo>, ImportError> ListSheets(const std::string& path) {
    auto head = ReadHead(path, kOle2Signature.size());
    if (!head) return head.error();
    return WithReader(path, head.value(), [](SheetReader& reader) { return reader.sheets(); });
}

Result<DataSet, ImportError> ReadWorkbook(const std::string& path, const SheetChoice& sheet) {
    auto read = ReadWorkbookSheet(path, sheet);
    if (!read) return read.error();
    return std::move(read.value().data);
}

Result<WorkbookRead, ImportError> ReadWorkbookSheet(const std::string& path,
                                                    const SheetChoice& sheet) {
    auto head = ReadHead(path, kOle2Signature.size());
    if (!head) return head.error();
    return ReadWorkbookSheet(path, head.value(), sheet);
}

Result<WorkbookRead, ImportError> ReadWorkbookSheet(const std::string& path, std::string_view head,
                                                    const SheetChoice& sheet) {
    return WithReader(path, head, [&](SheetReader& reader) { return reader.read(sheet); });
}

Result<DataSet, ImportError> ReadWorkbookBytes(std::string_view bytes, const SheetChoice& sheet) {
    return CatchingOutOfMemory([&]() -> Result<DataSet, ImportError> {
        auto zip = ZipPackage::OpenBytes(bytes);
        if (!zip) return zip.error();
        auto read =
            WithZipReader(*zip.value(), [&](SheetReader& reader) { return reader.read(sheet); });
        if (!read) return read.error();
        return std::move(read.value().data);
    });
}

}  // namespace corvane
