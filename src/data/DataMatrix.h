#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace corvane {

// The data matrix, cases by variables, numbered from 1. Only the columns the file has are
// stored; every reader still sees rows 0..rows() and columns 0..kMaxVariables, with row 0,
// column 0 and every column past the stored ones reading 0.
class DataMatrix {
  public:
    static constexpr std::int32_t kMaxVariables = 100000;

    DataMatrix() = default;
    // rows x columns cells, each `fill`. Throws std::bad_alloc when memory cannot be had.
    DataMatrix(std::int32_t rows, std::int32_t columns, float fill = 0.0f)
        : m_rows(rows),
          m_columns(columns),
          m_allocated(true),
          m_cells(static_cast<std::size_t>(rows) * static_cast<std::size_t>(columns), fill) {}

    // rows x columns cells taken over from `cells`, case by case; a reader that grows its cells
    // as cases arrive hands them over without a copy. Precondition: rows * columns cells.
    DataMatrix(std::int32_t rows, std::int32_t columns, std::vector<float> cells)
        : m_rows(rows), m_columns(columns), m_allocated(true), m_cells(std::move(cells)) {}

    bool allocated() const { return m_allocated; }
    std::int32_t rows() const { return m_rows; }
    std::int32_t storedColumns() const { return m_columns; }

    // Whether (row, column) is a cell of the matrix at all.
    bool hasCell(std::int32_t row, std::int32_t column) const {
        return allocated() && row >= 0 && row <= m_rows && column >= 0 && column <= kMaxVariables;
    }

    // Precondition: 1 <= row <= rows(), 1 <= column <= storedColumns().
    float operator()(std::int32_t row, std::int32_t column) const {
        return m_cells[index(row, column)];
    }
    float& operator()(std::int32_t row, std::int32_t column) { return m_cells[index(row, column)]; }

    // Any cell of the matrix, 0 outside the stored block.
    float at(std::int32_t row, std::int32_t column) const {
        if (row < 1 || row > m_rows || column < 1 || column > m_columns) return 0.0f;
        return (*this)(row, column);
    }

    // One case's stored cells, columns 1..storedColumns().
    const float* rowData(std::int32_t row) const { return m_cells.data() + index(row, 1); }
    float* rowData(std::int32_t row) { return m_cells.data() + index(row, 1); }

  private:
    std::size_t index(std::int32_t row, std::int32_t column) const {
        return static_cast<std::size_t>(row - 1) * static_cast<std::size_t>(m_columns) +
               static_cast<std::size_t>(column - 1);
    }

    std::int32_t m_rows = 0;
    std::int32_t m_columns = 0;
    bool m_allocated = false;
    std::vector<float> m_cells;
};

// The name of variable v (from 1), empty when it has none.
inline const std::string& VariableName(const std::vector<std::string>& names, std::int32_t v) {
    static const std::string none;
    return v >= 1 && static_cast<std::size_t>(v) <= names.size() ? names[v - 1] : none;
}

}  // namespace corvane
