#include "data/formats/sheets/XlsReader.h"

#include <freexl.h>

#include <optional>
#include <string>
#include <utility>

#include "data/formats/sheets/RunInChild.h"
#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/SheetTable.h"

namespace corvane {

namespace {

// FreeXL runs in a child process: a damaged workbook can make it free a pointer twice or read
// past its buffers, and it lays out the whole grid a sheet claims when it opens the file. The
// child sends the cells record by record; the parent places them, so the data set is built
// where it is used.
enum Tag : char {
    kNumber = 'N',  // row, column, value
    kText = 'T',    // row, column, text
    kDate = 'D',    // row, column, ISO text
    kSheet = 'S',   // name, rows, columns: one sheet of the list
    kRead = 'R',    // name, number, count: the sheet read
};

ImportError StoppedReader() {
    return ImportError::Unreadable(
        "the workbook is damaged: the reader of Excel 97-2003 files stopped on it");
}

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

// The sheets' names of a workbook that opened and can be read.
Result<std::vector<std::string>, ImportError> OpenedSheetNames(const Handle& xls) {
    if (xls.code() != FREEXL_OK) return Failure(xls.code());
    if (xls.encrypted()) return ImportError::PasswordProtected();
    return SheetNames(xls.get());
}

// Makes sheet `index` (from 0) the active one; its rows and columns.
Result<std::pair<unsigned int, unsigned short>, ImportError> Select(const void* xls,
                                                                    std::size_t index) {
    if (int c = freexl_select_active_worksheet(xls, static_cast<unsigned short>(index));
        c != FREEXL_OK)
        return Failure(c);
    return Dimensions(xls);
}

// The tag a cell of the given type is sent with; 0 for an empty or an error cell.
char CellTag(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
        case FREEXL_CELL_DOUBLE:
            return kNumber;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return kText;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return kDate;
        default:
            return 0;
    }
}

// In the child: every cell of the chosen sheet, then which sheet it was.
void SendSheet(const std::string& path, const SheetChoice& choice, ChildSender& send) {
    Handle xls(path);
    auto names = OpenedSheetNames(xls);
    if (!names) return send.error(names.error());
    const auto index = SheetChoiceIndex(names.value(), choice);
    if (!index) return send.error(index.error());
    const auto size = Select(xls.get(), index.value());
    if (!size) return send.error(size.error());
    const auto [rows, columns] = size.value();
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short col = 0; col < columns; ++col) {
            FreeXL_CellValue cell;
            if (int c = freexl_get_cell_value(xls.get(), r, col, &cell); c != FREEXL_OK)
                return send.error(Failure(c));
            const char t = CellTag(cell);
            if (t == 0) continue;
            send.tag(t);
            send.integer(std::int64_t{r} + 1);
            send.integer(std::int64_t{col} + 1);
            if (t == kNumber)
                send.real(cell.type == FREEXL_CELL_INT ? cell.value.int_value
                                                       : cell.value.double_value);
            else
                send.text(cell.value.text_value ? cell.value.text_value : "");
        }
    }
    send.tag(static_cast<char>(kRead));
    send.text(names.value()[index.value()]);
    send.integer(static_cast<std::int64_t>(index.value()) + 1);
    send.integer(std::ssize(names.value()));
}

// In the parent: the cells into the table, and which sheet was read.
struct SheetReceived {
    SheetTable table;
    std::string name;
    std::int64_t number = 0, count = 0;
    bool named = false;

    std::optional<ImportError> take(char t, ChildReceiver& receive) {
        std::int64_t row = 0, column = 0;
        if (t == kRead) {
            named = receive.text(name) && receive.integer(number) && receive.integer(count);
            return named ? std::nullopt : std::optional(StoppedReader());
        }
        if (!receive.integer(row) || !receive.integer(column)) return StoppedReader();
        if (t == kNumber) {
            double value = 0;
            if (!receive.real(value)) return StoppedReader();
            return table.number(row, column, value);
        }
        std::string text;
        if ((t != kText && t != kDate) || !receive.text(text)) return StoppedReader();
        return t == kText ? table.text(row, column, text) : table.date(row, column, text);
    }
};

}  // namespace

Result<std::vector<SheetInfo>, ImportError> XlsReader::sheets() {
    std::vector<SheetInfo> out;
    const auto failed = RunInChild(
        [&](ChildSender& send) {
            Handle xls(m_path);
            auto names = OpenedSheetNames(xls);
            if (!names) return send.error(names.error());
            for (std::size_t i = 0; i < names.value().size(); ++i) {
                const auto size = Select(xls.get(), i);
                if (!size) return send.error(size.error());
                send.tag(static_cast<char>(kSheet));
                send.text(names.value()[i]);
                send.integer(size.value().first);
                send.integer(size.value().second);
            }
        },
        [&](char t, ChildReceiver& receive) -> std::optional<ImportError> {
            SheetInfo sheet;
            if (t != kSheet || !receive.text(sheet.name) || !receive.integer(sheet.rows) ||
                !receive.integer(sheet.columns))
                return StoppedReader();
            out.push_back(std::move(sheet));
            return std::nullopt;
        },
        StoppedReader());
    if (failed) return *failed;
    return out;
}

Result<WorkbookRead, ImportError> XlsReader::read(const SheetChoice& choice) {
    SheetReceived received;
    const auto failed = RunInChild(
        [&](ChildSender& send) { SendSheet(m_path, choice, send); },
        [&](char t, ChildReceiver& receive) { return received.take(t, receive); }, StoppedReader());
    if (failed) return *failed;
    if (!received.named) return StoppedReader();
    auto data = received.table.finish();
    if (!data) return data.error();
    return WorkbookRead{std::move(data.value()), std::move(received.name), received.number,
                        received.count, WorkbookKind::Xls};
}

}  // namespace corvane
