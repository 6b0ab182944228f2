#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "common/Result.h"
#include "data/ImportError.h"

struct zip;

namespace corvane {

class XmlHandler;
class XmlPartParser;

// A zipped workbook, read part by part. Each part is unpacked in pieces straight into the XML
// parser, and may unpack to at most what UnpackLimit allows a packed file of its size,
// so a zip bomb ends in a message rather than hours of parsing.
class ZipPackage {
  public:
    static Result<std::unique_ptr<ZipPackage>, ImportError> Open(const std::string& path);
    // `bytes` must outlive the package.
    static Result<std::unique_ptr<ZipPackage>, ImportError> OpenBytes(std::string_view bytes);
    ~ZipPackage();
    ZipPackage(const ZipPackage&) = delete;
    ZipPackage& operator=(const ZipPackage&) = delete;

    bool has(const std::string& part) const;
    // Streams the part through expat into `handler`; the error is the handler's, the XML's or
    // the zip's.
    std::optional<ImportError> parse(const std::string& part, XmlHandler& handler);
    // The same through XmlScanner, for the large parts.
    std::optional<ImportError> scan(const std::string& part, XmlHandler& handler);
    // The same through any parser.
    std::optional<ImportError> stream(const std::string& part, XmlPartParser& parser);
    // A short part whole (at most `limit` bytes are read).
    Result<std::string, ImportError> readShort(const std::string& part, std::size_t limit);

  private:
    explicit ZipPackage(struct zip* archive) : m_archive(archive) {}
    struct zip* m_archive;
};

}  // namespace corvane
