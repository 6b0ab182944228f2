#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"

namespace corvane {

// The cells of one sheet as its reader meets them, placed by row and column (from 1, as the
// sheet counts them) in any order, and turned into a data set at the end. Only cells with
// content are held, column by column, so the memory is that of the used range and never that
// of a size the file claims.
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

    // The data set, the first row with a cell naming the variables when it is a names line.
    // Throws std::bad_alloc when the matrix cannot be had.
    Result<DataSet, ImportError> finish();

  private:
    enum class CellKind : std::uint8_t { Number, Missing, Text, Date };
    struct Column {
        std::vector<float> values;  // by row - 1; kMissing where no number stands
        // By row - 1, made at the column's first text: 0, or the index + 1 of its text.
        std::vector<std::int32_t> textIds;
        std::vector<std::string> texts;
        std::unordered_map<std::string, std::int32_t> ids;
    };
    // What the first row holds, to decide whether it names the variables.
    struct HeadCell {
        CellKind kind = CellKind::Missing;
        std::string text;
        bool present = false;
    };

    std::optional<ImportError> place(std::int64_t row, std::int64_t column);
    void store(std::int64_t row, std::int64_t column, CellKind kind, float value,
               std::string_view text);
    std::optional<std::vector<std::string>> headNames() const;

    std::vector<Column> m_columns;
    std::int64_t m_firstRow = 0;
    std::int64_t m_lastRow = 0;
    std::vector<HeadCell> m_head;
};

}  // namespace corvane
