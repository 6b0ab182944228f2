#include "data/formats/sheets/Workbook.h"

#include <cerrno>
#include <cstdio>
#include <memory>
#include <new>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "data/formats/sheets/CompoundFile.h"
#include "data/formats/sheets/OdsReader.h"
#include "data/formats/sheets/XlsReader.h"
#include "data/formats/sheets/XlsxReader.h"
#include "data/formats/sheets/ZipPackage.h"

namespace corvane {

namespace {

constexpr std::string_view kOdsType = "application/vnd.oasis.opendocument.spreadsheet";
constexpr std::string_view kOle2Signature = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

Result<std::string, ImportError> ReadHead(const std::string& path, std::size_t limit) {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "rb"), std::fclose);
    if (!f) return ImportError::Unreadable(errno);
    std::string head(limit, '\0');
    const std::size_t n = std::fread(head.data(), 1, limit, f.get());
    if (std::ferror(f.get())) return ImportError::Unreadable(errno);
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

// Which reader a zipped workbook needs, looking inside.
Result<WorkbookKind, ImportError> ZipKind(ZipPackage& zip) {
    if (zip.has("xl/workbook.xml")) return WorkbookKind::Xlsx;
    if (zip.has("mimetype")) {
        auto type = zip.readShort("mimetype", 128);
        if (!type) return type.error();
        if (type.value() == kOdsType) return WorkbookKind::Ods;
        if (StartsWith(type.value(), "application/vnd.oasis.opendocument."))
            return ImportError::Unreadable(
                "the file is an OpenDocument file, but not a spreadsheet");
    }
    return ImportError::Unreadable("the zip archive holds no Excel or OpenDocument spreadsheet");
}

template <class Out>
Result<Out, ImportError> WithZip(ZipPackage& zip, const SheetChoice* choice) {
    auto kind = ZipKind(zip);
    if (!kind) return kind.error();
    if constexpr (std::is_same_v<Out, WorkbookRead>) {
        if (kind.value() == WorkbookKind::Xlsx) return XlsxReader(zip).read(*choice);
        return OdsReader(zip).read(*choice);
    } else {
        if (kind.value() == WorkbookKind::Xlsx) return XlsxReader(zip).sheets();
        return OdsReader(zip).sheets();
    }
}

template <class Out>
Result<Out, ImportError> FromFile(const std::string& path, const SheetChoice* choice) {
    try {
        auto head = ReadHead(path, kOle2Signature.size());
        if (!head) return head.error();
        const std::string_view bytes = head.value();
        if (StartsWith(bytes, kOle2Signature)) {
            if (IsEncryptedPackage(path)) return ImportError::PasswordProtected();
            if constexpr (std::is_same_v<Out, WorkbookRead>)
                return XlsReader(path).read(*choice);
            else
                return XlsReader(path).sheets();
        }
        if (!StartsWith(bytes, "PK"))
            return ImportError::Unreadable("the file is not an Excel or OpenDocument workbook");
        auto zip = ZipPackage::Open(path);
        if (!zip) return zip.error();
        return WithZip<Out>(*zip.value(), choice);
    } catch (const std::bad_alloc&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    }
}

}  // namespace

WorkbookKind SniffWorkbook(std::string_view b) {
    if (StartsWith(b, kOle2Signature)) return WorkbookKind::Xls;
    if (!StartsWith(b, "PK\x03\x04") || b.size() < 30) return WorkbookKind::None;
    const auto u16 = [&](std::size_t at) {
        return static_cast<std::size_t>(static_cast<unsigned char>(b[at])) |
               static_cast<std::size_t>(static_cast<unsigned char>(b[at + 1])) << 8;
    };
    const std::size_t nameLength = u16(26), extraLength = u16(28);
    const std::string_view name = b.substr(30, nameLength);
    if (name == "mimetype") {
        const std::string_view content =
            b.substr(std::min(b.size(), 30 + nameLength + extraLength));
        if (StartsWith(content, kOdsType)) return WorkbookKind::Ods;
    }
    if (name == "[Content_Types].xml" || StartsWith(name, "xl/") || StartsWith(name, "_rels/") ||
        StartsWith(name, "docProps/"))
        return WorkbookKind::Xlsx;
    return WorkbookKind::Zip;
}

Result<std::vector<SheetInfo>, ImportError> ListSheets(const std::string& path) {
    return FromFile<std::vector<SheetInfo>>(path, nullptr);
}

Result<DataSet, ImportError> ReadWorkbook(const std::string& path, const SheetChoice& sheet) {
    auto read = ReadWorkbookSheet(path, sheet);
    if (!read) return read.error();
    return std::move(read.value().data);
}

Result<WorkbookRead, ImportError> ReadWorkbookSheet(const std::string& path,
                                                    const SheetChoice& sheet) {
    return FromFile<WorkbookRead>(path, &sheet);
}

Result<DataSet, ImportError> ReadWorkbookBytes(std::string_view bytes, const SheetChoice& sheet) {
    try {
        auto zip = ZipPackage::OpenBytes(bytes);
        if (!zip) return zip.error();
        auto read = WithZip<WorkbookRead>(*zip.value(), &sheet);
        if (!read) return read.error();
        return std::move(read.value().data);
    } catch (const std::bad_alloc&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    } catch (const std::length_error&) {
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    }
}

}  // namespace corvane
