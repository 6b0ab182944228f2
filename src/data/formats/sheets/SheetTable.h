#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/LabelDictionary.h"
#include "data/TableBuilder.h"

namespace corvane {

// The cells of one sheet as its reader meets them, placed by row and column (from 1, as the
// sheet counts them) in any order, and turned into a data set at the end. Only chunks of rows
// where a cell landed are held, column by column, so the memory is that of the cells and never
// that of a size the file claims; the data set is built a band of rows at a time, each band's
// chunks freed as it is copied, so the peak stays near the matrix itself.
class SheetTable {
  public:
    // The largest sheet the spreadsheet programs make.
    static constexpr std::int64_t kMaxRows = 1048576;
    static constexpr std::int64_t kMaxColumns = 16384;

    // A cell the file stores as a number.
    std::optional<ImportError> number(std::int64_t row, std::int64_t column, double value);
    // A cell the file stores as text: a number, a missing value or text by the same reading as a
    // field of a text file.
    std::optional<ImportError> text(std::int64_t row, std::int64_t column, std::string_view text);
    // A date or time written out as ISO text: always text.
    std::optional<ImportError> date(std::int64_t row, std::int64_t column, std::string_view text);

    bool empty() const { return m_lastRow == 0; }

    // The data set, the first row with a cell naming the variables when it is a names line. The
    // table starts at the first row and the first column holding a cell, as it does in readxl:
    // empty rows above it and empty columns left of it add no case and no variable.
    // Throws std::bad_alloc when the matrix cannot be had.
    Result<DataSet, ImportError> finish();

  private:
    enum class CellKind : std::uint8_t { Number, Missing, Text, Date };
    // A chunk is 1 KiB. The rows a column's chunks hold beyond its cells are at most two
    // part-filled chunks, its first and its last: at 16,384 columns 32 MiB, a sheet of one row
    // 16 MiB. Smaller chunks would cost more in bookkeeping on long sheets.
    static constexpr std::int64_t kChunkRows = 256;
    // A cell as its float's bits, or a text as an infinity or a NaN carrying the code of its
    // text among the column's (see TextBits): no number read is either, so the two never meet.
    struct Chunk {
        std::int32_t index;  // rows index * kChunkRows + 1 onwards
        std::unique_ptr<std::uint32_t[]> cells;
    };
    struct Column {
        std::vector<Chunk> chunks;  // by index
        std::int64_t textCells = 0;
        LabelDictionary texts;  // in the order they arrived, which is not always down the sheet
    };
    struct TextCoder;
    // What the first row holds, to decide whether it names the variables.
    struct HeadCell {
        CellKind kind = CellKind::Missing;
        std::string text;
        bool present = false;
    };

    std::optional<ImportError> place(std::int64_t row, std::int64_t column);
    std::optional<ImportError> store(std::int64_t row, std::int64_t column, CellKind kind,
                                     float value, std::string_view text);
    static std::uint32_t& cell(Column& c, std::int64_t row);
    std::optional<std::vector<std::string>> headNames() const;
    std::vector<TextCoder> textColumns(std::int64_t firstData, TableBuilder& table);
    Result<std::vector<float>, ImportError> copyBands(std::int64_t firstData, std::int32_t cases,
                                                      std::vector<TextCoder>& coders);

    std::vector<Column> m_columns;  // by the sheet's column - 1
    std::int64_t m_firstRow = 0;
    std::int64_t m_firstColumn = 0;
    std::int64_t m_lastRow = 0;
    std::vector<HeadCell> m_head;  // by the sheet's column - 1
};

}  // namespace corvane
