#include "data/formats/stats/StatFileKind.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>

namespace corvane {

namespace {

// Stata before format 117 opens with its version byte, the byte order (1 or 2), the file
// type 1 and a zero; from 117 on with an XML-like tag.
bool IsStata(std::string_view b) {
    if (b.starts_with("<stata_dta>")) return true;
    if (b.size() < 4) return false;
    const auto version = static_cast<unsigned char>(b[0]);
    return version >= 102 && version <= 116 && (b[1] == 1 || b[1] == 2) && b[2] == 1 && b[3] == 0;
}

bool IsSasData(std::string_view b) {
    static constexpr std::array<unsigned char, 32> kMagic = {
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xc2, 0xea, 0x81, 0x60, 0xb3, 0x14, 0x11, 0xcf, 0xbd, 0x92,
        0x08, 0x00, 0x09, 0xc7, 0x31, 0x8c, 0x18, 0x1f, 0x10, 0x11};
    return b.size() >= kMagic.size() &&
           std::equal(kMagic.begin(), kMagic.end(), b.begin(),
                      [](unsigned char m, char c) { return m == static_cast<unsigned char>(c); });
}

std::string Lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

StatFileKind KindOfExtension(std::string_view extension) {
    const std::size_t dot = extension.rfind('.');
    const std::string ext =
        Lower(dot == std::string_view::npos ? extension : extension.substr(dot + 1));
    if (ext == "sav") return StatFileKind::SpssData;
    if (ext == "zsav") return StatFileKind::SpssCompressed;
    if (ext == "por") return StatFileKind::SpssPortable;
    if (ext == "dta") return StatFileKind::Stata;
    if (ext == "sas7bdat") return StatFileKind::SasData;
    if (ext == "xpt") return StatFileKind::SasTransport;
    return StatFileKind::None;
}

}  // namespace

StatFileKind SniffStatisticsContent(std::string_view firstBytes) {
    const std::string_view b = firstBytes.substr(0, kStatSniffBytes);
    if (b.starts_with("$FL2")) return StatFileKind::SpssData;
    if (b.starts_with("$FL3")) return StatFileKind::SpssCompressed;
    if (IsSasData(b)) return StatFileKind::SasData;
    if (b.starts_with("HEADER RECORD*******LIB")) return StatFileKind::SasTransport;
    if (IsStata(b)) return StatFileKind::Stata;
    // A portable file's signature follows a 200-byte title and a 256-byte character table,
    // with line breaks wherever its writer put them.
    if (b.find("SPSSPORT") != std::string_view::npos) return StatFileKind::SpssPortable;
    return StatFileKind::None;
}

StatFileKind SniffStatisticsFile(std::string_view firstBytes, std::string_view extension) {
    const StatFileKind kind = SniffStatisticsContent(firstBytes);
    return kind != StatFileKind::None ? kind : KindOfExtension(extension);
}

std::string_view StatFileKindName(StatFileKind kind) {
    switch (kind) {
        case StatFileKind::SpssData:
            return "an SPSS data file";
        case StatFileKind::SpssCompressed:
            return "an SPSS compressed data file";
        case StatFileKind::SpssPortable:
            return "an SPSS portable file";
        case StatFileKind::Stata:
            return "a Stata data file";
        case StatFileKind::SasData:
            return "a SAS data set";
        case StatFileKind::SasTransport:
            return "a SAS transport file";
        case StatFileKind::None:
            break;
    }
    return "a statistics file";
}

std::string DescribeStatisticsFile(std::string_view name, const DataSet& data) {
    std::int32_t labelled = 0;
    for (std::int32_t v = 1; v <= data.variables(); ++v)
        labelled += data.facts(v).kind == VariableKind::LabelledNumbers;
    std::string text = std::string(name) + ", " + std::to_string(data.variables()) +
                       (data.variables() == 1 ? " variable" : " variables");
    if (labelled > 0) text += ", " + std::to_string(labelled) + " with value labels";
    return text;
}

}  // namespace corvane
