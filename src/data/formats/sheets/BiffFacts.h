#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane {

// What the records of an .xls workbook stream say of it, read without FreeXL, to tell the user
// what a workbook FreeXL declines is: BIFF5 (Excel 5.0/95, stream "Book") from BIFF8 (Excel
// 97-2003, stream "Workbook") by the BOF record, a password by the FILEPASS record, the code
// page of its text, and each sheet's claimed size against the cells it holds.
struct BiffSheet {
    std::uint32_t rows = 0;     // the DIMENSIONS record's: one past the last row it claims
    std::uint32_t columns = 0;  // one past the last column it claims
    std::uint32_t usedRows = 0, usedColumns = 0;  // one past the last cell with content
    bool richText = false;                        // holds RSTRING cells, which FreeXL drops
};

struct BiffFacts {
    int version = 0;  // 5 or 8; 0 when the BOF record names neither
    bool password = false;
    std::uint16_t codePage = 0;  // 0 when the workbook names none
    std::vector<BiffSheet> sheets;

    // Whether the cells of some sheet lie beyond the rows or columns it claims.
    bool cellsOutsideClaim(std::size_t sheet) const;
    // The bytes the grids the sheets claim take when laid out as FreeXL does.
    double claimedGridBytes() const;
    // The first sheet that claims more rows or columns than an .xls sheet has (65536 x 256).
    std::optional<std::size_t> claimBeyondASheet() const;
};

// The facts of the workbook stream of the compound file at `path`; none when it has no
// "Workbook" or "Book" stream that can be read (not a workbook, or one too small to need it).
// Every record is bounded by the stream, every offset checked, so a hostile file gives what
// was found up to the first that is not.
std::optional<BiffFacts> ReadBiffFacts(const std::string& path);

// Whether FreeXL 1.0.6 turns text of this code page into UTF-8.
bool FreeXlKnowsCodePage(std::uint16_t codePage);

}  // namespace corvane
