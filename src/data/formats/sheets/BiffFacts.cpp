#include "data/formats/sheets/BiffFacts.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "data/formats/sheets/CompoundFile.h"

namespace corvane {

namespace {

// A workbook stream is read whole up to this; an .xls holds at most some tens of MB.
constexpr std::size_t kStreamLimit = std::size_t{256} << 20;

enum Record : std::uint16_t {
    kFormula = 0x0006,
    kEof = 0x000A,
    kFilePass = 0x002F,
    kCodePage = 0x0042,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kRString = 0x00D6,
    kLabelSst = 0x00FD,
    kDimensions = 0x0200,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kRk = 0x027E,
    kBof = 0x0809,
};

std::uint16_t U16(std::string_view b, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      static_cast<unsigned char>(b[at + 1]) << 8);
}
std::uint32_t U32(std::string_view b, std::size_t at) {
    return std::uint32_t{U16(b, at)} | std::uint32_t{U16(b, at + 2)} << 16;
}

// The records of a substream from `at` to its EOF, handed to `use` as (type, data).
template <class Use>
void Records(std::string_view stream, std::size_t at, Use&& use) {
    while (at + 4 <= stream.size()) {
        const std::uint16_t type = U16(stream, at), size = U16(stream, at + 2);
        if (at + 4 + size > stream.size()) return;
        const std::string_view data = stream.substr(at + 4, size);
        if (type == kEof || !use(type, data)) return;
        at += 4 + size;
    }
}

// A cell record's row and column, and the last column of a MULRK.
void NoteCell(BiffSheet& sheet, std::uint16_t type, std::string_view d) {
    if (d.size() < 4) return;
    std::uint32_t lastColumn = U16(d, 2);
    if (type == kMulRk && d.size() >= 6) lastColumn = U16(d, d.size() - 2);
    sheet.usedRows = std::max<std::uint32_t>(sheet.usedRows, U16(d, 0) + 1u);
    sheet.usedColumns = std::max(sheet.usedColumns, lastColumn + 1);
    sheet.richText = sheet.richText || type == kRString;
}

BiffSheet ReadSheet(std::string_view stream, std::size_t at, int version) {
    BiffSheet sheet;
    Records(stream, at, [&](std::uint16_t type, std::string_view d) {
        switch (type) {
            case kDimensions:
                if (version == 8 && d.size() >= 12) {
                    sheet.rows = U32(d, 4);
                    sheet.columns = U16(d, 10);
                } else if (version == 5 && d.size() >= 8) {
                    sheet.rows = U16(d, 2);
                    sheet.columns = U16(d, 6);
                }
                break;
            case kFormula:
            case kMulRk:
            case kRString:
            case kLabelSst:
            case kNumber:
            case kLabel:
            case kBoolErr:
            case kRk:
                NoteCell(sheet, type, d);
                break;
            default:
                break;
        }
        return true;
    });
    return sheet;
}

}  // namespace

bool BiffFacts::cellsOutsideClaim(std::size_t s) const {
    const BiffSheet& sheet = sheets[s];
    return sheet.usedRows > sheet.rows || sheet.usedColumns > sheet.columns;
}

double BiffFacts::claimedGridBytes() const {
    // FreeXL keeps a 16-byte value for every cell of every sheet's claimed grid.
    double bytes = 0;
    for (const BiffSheet& s : sheets) bytes += 16.0 * s.rows * s.columns;
    return bytes;
}

std::optional<std::size_t> BiffFacts::claimBeyondASheet() const {
    for (std::size_t s = 0; s < sheets.size(); ++s)
        if (sheets[s].rows > 65536 || sheets[s].columns > 256) return s;
    return std::nullopt;
}

std::optional<BiffFacts> ReadBiffFacts(const std::string& path) {
    auto stream = CompoundStream(path, u"Workbook", kStreamLimit);
    if (!stream) stream = CompoundStream(path, u"Book", kStreamLimit);
    if (!stream || stream->size() < 8 || U16(*stream, 0) != kBof) return std::nullopt;
    const std::string_view b = *stream;
    BiffFacts facts;
    const std::uint16_t bofVersion = U16(b, 4);
    facts.version = bofVersion == 0x0600 ? 8 : bofVersion == 0x0500 ? 5 : 0;
    std::vector<std::uint32_t> offsets;
    Records(b, 4 + U16(b, 2), [&](std::uint16_t type, std::string_view d) {
        if (type == kFilePass) facts.password = true;
        if (type == kCodePage && d.size() >= 2) facts.codePage = U16(d, 0);
        if (type == kBoundSheet && d.size() >= 6 && d[5] == 0) offsets.push_back(U32(d, 0));
        return true;
    });
    // The records of an encrypted workbook after FILEPASS are not readable.
    if (facts.password) return facts;
    for (const std::uint32_t at : offsets) {
        if (at + 4 > b.size() || U16(b, at) != kBof) {
            facts.sheets.emplace_back();
            continue;
        }
        facts.sheets.push_back(ReadSheet(b, at + 4 + U16(b, at + 2), facts.version));
    }
    return facts;
}

bool FreeXlKnowsCodePage(std::uint16_t codePage) {
    static constexpr std::uint16_t kKnown[] = {
        367,  437,  720,  737,  775,  850,  852,  855,  857,   858,   860,  861,  862,
        863,  864,  865,  866,  869,  874,  932,  936,  949,   950,   1200, 1250, 1251,
        1252, 1253, 1254, 1255, 1256, 1257, 1258, 1361, 10000, 32768, 32769};
    return std::find(std::begin(kKnown), std::end(kKnown), codePage) != std::end(kKnown);
}

}  // namespace corvane
