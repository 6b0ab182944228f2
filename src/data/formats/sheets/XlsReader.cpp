#include "data/formats/sheets/XlsReader.h"

#include <freexl.h>

#include <string>
#include <utility>

#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetTable.h"

namespace corvane {

namespace {

ImportError Failure(int code) {
    switch (code) {
        case FREEXL_INSUFFICIENT_MEMORY:
            return ImportError::Of(ImportError::Kind::OutOfMemory);
        case FREEXL_FILE_NOT_FOUND:
            return ImportError::Unreadable("the file cannot be opened");
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            return ImportError::Unreadable(
                "the compound file holds no Excel workbook (an encrypted one is stored so)");
        case FREEXL_CRAFTED_FILE:
            return ImportError::Unreadable("the workbook is severely damaged");
        default:
            return ImportError::Unreadable("the workbook is damaged or not an Excel workbook (" +
                                           std::to_string(code) + ")");
    }
}

// An open workbook, closed on every way out.
class Handle {
  public:
    explicit Handle(const std::string& path) {
        m_code = freexl_open(path.c_str(), &m_handle);
        // FreeXL opens a password-protected workbook without error but hands back no handle.
        unsigned int protection = 0;
        if (m_code == FREEXL_OK && (!m_handle || (freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD,
                                                                  &protection) == FREEXL_OK &&
                                                  protection == FREEXL_BIFF_OBFUSCATED)))
            m_encrypted = true;
    }
    ~Handle() {
        if (m_handle) freexl_close(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    int code() const { return m_code; }
    bool encrypted() const { return m_encrypted; }
    const void* get() const { return m_handle; }

  private:
    const void* m_handle = nullptr;
    int m_code = FREEXL_OK;
    bool m_encrypted = false;
};

Result<std::vector<std::string>, ImportError> SheetNames(const void* xls) {
    unsigned int count = 0;
    if (int c = freexl_get_info(xls, FREEXL_BIFF_SHEET_COUNT, &count); c != FREEXL_OK)
        return Failure(c);
    std::vector<std::string> names;
    for (unsigned int i = 0; i < count && i < 65536; ++i) {
        const char* name = nullptr;
        if (int c = freexl_get_worksheet_name(xls, static_cast<unsigned short>(i), &name);
            c != FREEXL_OK)
            return Failure(c);
        names.emplace_back(name ? name : "");
    }
    return names;
}

// The active sheet's rows and columns, as its dimension record claims them. FreeXL takes the
// claim as it is, and every cell of the grid is asked for one by one, so a damaged record that
// claims more than an .xls sheet can hold is refused rather than walked for minutes.
Result<std::pair<unsigned int, unsigned short>, ImportError> Dimensions(const void* xls) {
    constexpr unsigned int kMaxRows = 65536, kMaxColumns = 256;
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (int c = freexl_worksheet_dimensions(xls, &rows, &columns); c != FREEXL_OK)
        return Failure(c);
    if (rows == 0 || columns == 0) return std::pair<unsigned int, unsigned short>{0, 0};
    if (rows > kMaxRows || columns > kMaxColumns)
        return ImportError::Unreadable("the workbook is damaged: a sheet claims " +
                                       std::to_string(rows) + " rows and " +
                                       std::to_string(columns) + " columns");
    return std::pair{rows, columns};
}

}  // namespace

Result<std::vector<SheetInfo>, ImportError> XlsReader::sheets() {
    Handle xls(m_path);
    if (xls.code() != FREEXL_OK) return Failure(xls.code());
    if (xls.encrypted()) return ImportError::PasswordProtected();
    auto names = SheetNames(xls.get());
    if (!names) return names.error();
    std::vector<SheetInfo> out;
    for (std::size_t i = 0; i < names.value().size(); ++i) {
        if (int c = freexl_select_active_worksheet(xls.get(), static_cast<unsigned short>(i));
            c != FREEXL_OK)
            return Failure(c);
        const auto size = Dimensions(xls.get());
        if (!size) return size.error();
        out.push_back({names.value()[i], size.value().first, size.value().second});
    }
    return out;
}

Result<WorkbookRead, ImportError> XlsReader::read(const SheetChoice& choice) {
    Handle xls(m_path);
    if (xls.code() != FREEXL_OK) return Failure(xls.code());
    if (xls.encrypted()) return ImportError::PasswordProtected();
    auto names = SheetNames(xls.get());
    if (!names) return names.error();
    const auto index = SheetChoiceIndex(names.value(), choice);
    if (!index) return index.error();
    if (int c =
            freexl_select_active_worksheet(xls.get(), static_cast<unsigned short>(index.value()));
        c != FREEXL_OK)
        return Failure(c);
    const auto size = Dimensions(xls.get());
    if (!size) return size.error();
    const auto [rows, columns] = size.value();
    SheetTable table;
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short col = 0; col < columns; ++col) {
            FreeXL_CellValue cell;
            if (int c = freexl_get_cell_value(xls.get(), r, col, &cell); c != FREEXL_OK)
                return Failure(c);
            std::optional<ImportError> e;
            const std::int64_t row = std::int64_t{r} + 1, column = std::int64_t{col} + 1;
            switch (cell.type) {
                case FREEXL_CELL_INT:
                    e = table.number(row, column, cell.value.int_value);
                    break;
                case FREEXL_CELL_DOUBLE:
                    e = table.number(row, column, cell.value.double_value);
                    break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    e = table.text(row, column, cell.value.text_value ? cell.value.text_value : "");
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME:
                    e = table.date(row, column, cell.value.text_value ? cell.value.text_value : "");
                    break;
                default:
                    break;
            }
            if (e) return *e;
        }
    }
    auto data = table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), names.value()[index.value()],
                        static_cast<std::int64_t>(index.value()) + 1, std::ssize(names.value())};
}

}  // namespace corvane
