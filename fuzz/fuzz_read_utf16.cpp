// UTF-16 text on arbitrary bytes: the first byte picks a byte-order mark (little-endian,
// big-endian or none) put before the rest. The bytes are decoded here the plain way, a unit at
// a time; text that decodes whole must import exactly as its UTF-8 does, and text that does
// not (an odd byte count, a surrogate without its pair, a NUL or another control character,
// U+FFFE or U+FFFF) must be refused, never read with a character replaced.
#include <cmath>
#include <cstdint>
#include <optional>
#include <string>

#include "FuzzFiles.h"
#include "common/Utf8Text.h"
#include "data/formats/text/Utf16Text.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;

namespace {

// The text as UTF-8, or none when it does not decode whole.
std::optional<std::string> Decoded(std::string_view bytes, bool bigEndian) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 2) {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        std::uint32_t u = bigEndian ? (a << 8 | b) : (b << 8 | a);
        if (u >= 0xDC00 && u <= 0xDFFF) return std::nullopt;
        if (u >= 0xD800 && u <= 0xDBFF) {
            if (i + 3 >= bytes.size()) return std::nullopt;
            const auto c = static_cast<unsigned char>(bytes[i + 2]);
            const auto d = static_cast<unsigned char>(bytes[i + 3]);
            const std::uint32_t low = bigEndian ? (c << 8 | d) : (d << 8 | c);
            if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
            u = 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00);
            i += 2;
        } else if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE ||
                   u == 0xFFFF) {
            return std::nullopt;
        }
        AppendUtf8(out, u);
    }
    return out;
}

bool SameCell(float a, float b) { return a == b || (std::isnan(a) && std::isnan(b)); }

void CheckSame(const DataSet& a, const DataSet& b) {
    FUZZ_CHECK(a.cases() == b.cases() && a.variables() == b.variables());
    FUZZ_CHECK(a.names() == b.names());
    for (std::int32_t v = 1; v <= a.variables(); ++v) {
        FUZZ_CHECK(a.facts(v).kind == b.facts(v).kind);
        FUZZ_CHECK(a.facts(v).labels.size() == b.facts(v).labels.size());
        for (std::size_t k = 0; k < a.facts(v).labels.size(); ++k)
            FUZZ_CHECK(a.facts(v).labels[k].text == b.facts(v).labels[k].text);
        for (std::int32_t c = 1; c <= a.cases(); ++c)
            FUZZ_CHECK(SameCell(a.matrix().at(c, v), b.matrix().at(c, v)));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const int mark = data[0] % 3;  // 0: little-endian, 1: big-endian, 2: none
    const std::string bytes = (mark == 0   ? "\xFF\xFE"
                               : mark == 1 ? "\xFE\xFF"
                                           : "") +
                              std::string(text);
    const Utf16Form form = SniffUtf16(bytes.substr(0, kFileHeadBytes));
    // A mark is taken for UTF-16's but FF FE 00 00, UTF-32's.
    if (mark == 1 || (mark == 0 && !text.starts_with(std::string_view("\0\0", 2))))
        FUZZ_CHECK(form.utf16 && form.bigEndian == (mark == 1));
    if (!form.utf16) return 0;  // read as something else
    const std::string path = WriteFuzzFile("utf16.csv", bytes.data(), bytes.size());
    const FormatRow& row = DetectDataFile(path);
    auto r = ImportDataFile(path, kDetectFormat);
    if (row.name != "UTF-16 text") return 0;  // a format whose sniff comes first
    const auto utf8 = Decoded(std::string_view(bytes).substr(form.mark ? 2 : 0), form.bigEndian);
    if (!utf8) {
        FUZZ_CHECK(!r.ok() && r.error().kind == ImportError::Kind::Unreadable);
        return 0;
    }
    const std::string plain = WriteFuzzFile("utf8.csv", utf8->data(), utf8->size());
    auto expected = ImportDataFile(plain, kDetectFormat);
    FUZZ_CHECK(r.ok() == expected.ok());
    if (!r.ok()) {
        FUZZ_CHECK(r.error().kind == expected.error().kind &&
                   r.error().row == expected.error().row &&
                   r.error().column == expected.error().column);
        return 0;
    }
    CheckSame(r.value(), expected.value());
    FUZZ_CHECK(r->readAs().find(form.bigEndian ? "UTF-16BE" : "UTF-16LE") != std::string::npos);
    return 0;
}
