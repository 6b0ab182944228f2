#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "data/formats/sheets/SheetDates.h"
#include "data/formats/sheets/XmlHandler.h"

namespace corvane {

class SheetTable;

// One worksheet of an .xlsx, cell by cell into the table: each <c> placed by its reference (or
// after the one before it), its value from <v> or an inline string's runs, phonetic guides left
// out, typed by its t attribute and, for a number, its style's date form. Without a table it
// only measures the sheet, from its dimension record when that spans a range.
class WorksheetHandler : public XmlHandler {
  public:
    // Excel's own limit is 32,767 characters; anything far past it is not a spreadsheet's cell.
    static constexpr std::size_t kMaxCellBytes = std::size_t{1} << 20;

    WorksheetHandler(SheetTable* table, const std::vector<std::string>* strings,
                     const std::vector<DateForm>* forms, bool from1904)
        : m_table(table), m_strings(strings), m_forms(forms), m_from1904(from1904) {}

    std::int64_t maxRow = 0, maxColumn = 0;

    void start(std::string_view name, const char** a) override;
    void end(std::string_view name) override;
    void text(std::string_view t) override;

  private:
    // A cell's t attribute: what its value is. Other words read as numbers, never as dates.
    enum class Type : std::uint8_t { Number, OtherNumber, Error, Shared, Text, Date };

    void startRow(const char** a);
    void startCell(const char** a);
    void measure(const char** a);
    void cell();
    void number();

    SheetTable* m_table;
    const std::vector<std::string>* m_strings;
    const std::vector<DateForm>* m_forms;
    bool m_from1904;
    std::int64_t m_row = 0, m_column = 0, m_style = 0;
    Type m_type = Type::Number;
    std::string m_value;
    bool m_hasValue = false, m_inValue = false, m_inInline = false, m_phonetic = false;
};

}  // namespace corvane
