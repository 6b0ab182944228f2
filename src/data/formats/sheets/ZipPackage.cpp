#include "data/formats/sheets/ZipPackage.h"

#include <zip.h>

#include <vector>

#include "data/formats/compressed/UnpackToScratch.h"
#include "data/formats/sheets/XmlScanner.h"
#include "data/formats/sheets/XmlStream.h"

namespace corvane {

namespace {

ImportError PartFailure(const std::string& part, const char* why) {
    return ImportError::Unreadable("the workbook part " + part + " cannot be unpacked: " + why);
}

}  // namespace

Result<std::unique_ptr<ZipPackage>, ImportError> ZipPackage::Open(const std::string& path) {
    int code = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_RDONLY, &code);
    if (!archive) return ZipOpenFailure(code);
    return std::unique_ptr<ZipPackage>(new ZipPackage(archive));
}

Result<std::unique_ptr<ZipPackage>, ImportError> ZipPackage::OpenBytes(std::string_view bytes) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    if (!source) {
        zip_error_fini(&error);
        return ImportError::Of(ImportError::Kind::OutOfMemory);
    }
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY, &error);
    if (!archive) {
        const int code = zip_error_code_zip(&error);
        zip_source_free(source);
        zip_error_fini(&error);
        return ZipOpenFailure(code);
    }
    zip_error_fini(&error);
    return std::unique_ptr<ZipPackage>(new ZipPackage(archive));
}

ZipPackage::~ZipPackage() { zip_discard(m_archive); }

bool ZipPackage::has(const std::string& part) const {
    return zip_name_locate(m_archive, part.c_str(), ZIP_FL_NOCASE) >= 0;
}

std::optional<ImportError> ZipPackage::parse(const std::string& part, XmlHandler& handler) {
    XmlStream xml(handler);
    return stream(part, xml);
}

std::optional<ImportError> ZipPackage::scan(const std::string& part, XmlHandler& handler) {
    XmlScanner xml(handler);
    return stream(part, xml);
}

std::optional<ImportError> ZipPackage::stream(const std::string& part, XmlPartParser& xml) {
    const zip_int64_t index = zip_name_locate(m_archive, part.c_str(), ZIP_FL_NOCASE);
    if (index < 0) return ImportError::Unreadable("the workbook has no part " + part);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(m_archive, index, 0, &st) != 0)
        return PartFailure(part, zip_strerror(m_archive));
    const std::int64_t packed =
        (st.valid & ZIP_STAT_COMP_SIZE) ? static_cast<std::int64_t>(st.comp_size) : 0;
    const std::int64_t budget = UnpackLimit(packed);

    zip_file_t* file = zip_fopen_index(m_archive, index, 0);
    if (!file) {
        const int code = zip_error_code_zip(zip_get_error(m_archive));
        if (code == ZIP_ER_NOPASSWD || code == ZIP_ER_WRONGPASSWD)
            return ImportError::PasswordProtected();
        if (code == ZIP_ER_COMPNOTSUPP || code == ZIP_ER_ENCRNOTSUPP)
            return PartFailure(part, "its packing method is not supported");
        return PartFailure(part, zip_strerror(m_archive));
    }
    std::vector<char> buffer(std::size_t{1} << 16);
    std::int64_t unpacked = 0;
    std::optional<ImportError> outcome;
    for (;;) {
        const zip_int64_t n = zip_fread(file, buffer.data(), buffer.size());
        if (n < 0) {
            outcome = PartFailure(part, zip_file_strerror(file));
            break;
        }
        unpacked += n;
        if (unpacked > budget) {
            outcome = ImportError::Unreadable(
                "the workbook part " + part +
                " unpacks to far more than its packed size, as no spreadsheet does (a zip bomb?)");
            break;
        }
        const auto s = xml.feed(buffer.data(), static_cast<std::size_t>(n), n == 0);
        if (s == XmlPartParser::Status::Failed) {
            outcome = xml.error(part);
            break;
        }
        if (s == XmlPartParser::Status::Done || n == 0) break;
    }
    zip_fclose(file);
    return outcome;
}

Result<std::string, ImportError> ZipPackage::readShort(const std::string& part, std::size_t limit) {
    zip_file_t* file = zip_fopen(m_archive, part.c_str(), ZIP_FL_NOCASE);
    if (!file) return PartFailure(part, zip_strerror(m_archive));
    std::string out(limit, '\0');
    const zip_int64_t n = zip_fread(file, out.data(), limit);
    zip_fclose(file);
    if (n < 0) return PartFailure(part, "it is damaged");
    out.resize(static_cast<std::size_t>(n));
    return out;
}

}  // namespace corvane
