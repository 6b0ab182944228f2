#include "data/formats/sheets/FreeXlWorkbook.h"

#include <freexl.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

#include "data/formats/sheets/BiffFacts.h"
#include "data/formats/sheets/SheetChoiceIndex.h"
#include "data/formats/sheets/XlsReasons.h"
#include "data/formats/sheets/XlsRecords.h"

namespace corvane {

namespace {

// An open workbook, closed on every way out.
class Handle {
  public:
    explicit Handle(const std::string& path) {
        errno = 0;
        m_code = freexl_open(path.c_str(), &m_handle);
        // FreeXL declines many workbooks with FREEXL_OK and no handle; an allocation that
        // failed against the memory limit leaves ENOMEM behind.
        m_outOfMemory = errno == ENOMEM || m_code == FREEXL_INSUFFICIENT_MEMORY;
        unsigned int protection = 0;
        m_obfuscated = m_handle &&
                       freexl_get_info(m_handle, FREEXL_BIFF_PASSWORD, &protection) == FREEXL_OK &&
                       protection == FREEXL_BIFF_OBFUSCATED;
    }
    ~Handle() {
        if (m_handle) freexl_close(m_handle);
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    bool opened() const { return m_code == FREEXL_OK && m_handle; }
    int code() const { return m_code; }
    bool outOfMemory() const { return m_outOfMemory; }
    bool obfuscated() const { return m_obfuscated; }
    const void* get() const { return m_handle; }

  private:
    const void* m_handle = nullptr;
    int m_code = FREEXL_OK;
    bool m_outOfMemory = false;
    bool m_obfuscated = false;
};

ImportError Failure(int code, std::int64_t memoryLimit) {
    return code == FREEXL_INSUFFICIENT_MEMORY ? xls::MemoryLimit(memoryLimit) : xls::Failure(code);
}

Result<std::vector<std::string>, ImportError> SheetNames(const void* xls, std::int64_t limit) {
    unsigned int count = 0;
    if (int c = freexl_get_info(xls, FREEXL_BIFF_SHEET_COUNT, &count); c != FREEXL_OK)
        return Failure(c, limit);
    std::vector<std::string> names;
    for (unsigned int i = 0; i < count && i < 65536; ++i) {
        const char* name = nullptr;
        if (int c = freexl_get_worksheet_name(xls, static_cast<unsigned short>(i), &name);
            c != FREEXL_OK)
            return Failure(c, limit);
        names.emplace_back(name ? name : "");
    }
    return names;
}

// FreeXL lays out every claimed grid on opening: sheets of sizes an .xls sheet may have that
// claim more than the memory limit holds in all are refused before it is asked, so the limit's
// message does not hang on how allocations fail (under AddressSanitizer only single allocations
// are bounded). Claims no sheet may make are left to FreeXL, which declines them.
std::optional<ImportError> BeyondTheMemoryLimit(const std::string& path, std::int64_t limit) {
    const auto facts = ReadBiffFacts(path);
    if (facts && !facts->claimBeyondASheet() &&
        facts->claimedGridBytes() > static_cast<double>(limit))
        return xls::MemoryLimit(limit);
    return std::nullopt;
}

// The sheets' names of a workbook that opened and can be read; else what it is. `sheet` is the
// sheet asked for, where the choice tells it without the names.
Result<std::vector<std::string>, ImportError> OpenedSheetNames(const Handle& xls,
                                                               const std::string& path,
                                                               std::int64_t limit,
                                                               std::optional<std::size_t> sheet) {
    if (!xls.opened())
        return xls::Declined(xls.code(), ReadBiffFacts(path), {limit, xls.outOfMemory()}, sheet);
    if (xls.obfuscated()) return ImportError::PasswordProtected();
    return SheetNames(xls.get(), limit);
}

// The active sheet's rows and columns, as its dimension record claims them. FreeXL takes the
// claim as it is, and every cell of the grid is asked for one by one, so a damaged record that
// claims more than an .xls sheet can hold is refused rather than walked for minutes.
Result<std::pair<unsigned int, unsigned short>, ImportError> Select(const void* xls,
                                                                    std::size_t index,
                                                                    std::int64_t limit) {
    constexpr unsigned int kMaxRows = 65536, kMaxColumns = 256;
    if (int c = freexl_select_active_worksheet(xls, static_cast<unsigned short>(index));
        c != FREEXL_OK)
        return Failure(c, limit);
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (int c = freexl_worksheet_dimensions(xls, &rows, &columns); c != FREEXL_OK)
        return Failure(c, limit);
    if (rows == 0 || columns == 0) return std::pair<unsigned int, unsigned short>{0, 0};
    if (rows > kMaxRows || columns > kMaxColumns)
        return ImportError::Unreadable("the workbook is damaged: a sheet claims " +
                                       std::to_string(rows) + " rows and " +
                                       std::to_string(columns) + " columns");
    return std::pair{rows, columns};
}

// The tag a cell of the given type is sent with; 0 for an empty or an error cell.
char CellTag(const FreeXL_CellValue& cell) {
    switch (cell.type) {
        case FREEXL_CELL_INT:
        case FREEXL_CELL_DOUBLE:
            return kXlsNumber;
        case FREEXL_CELL_TEXT:
        case FREEXL_CELL_SST_TEXT:
            return kXlsText;
        case FREEXL_CELL_DATE:
        case FREEXL_CELL_DATETIME:
        case FREEXL_CELL_TIME:
            return kXlsDate;
        default:
            return 0;
    }
}

// The sheet the choice names without the sheets' names: a number, or the first by default.
std::optional<std::size_t> ChosenWithoutNames(const SheetChoice& choice) {
    if (!choice.name.empty()) return std::nullopt;
    return choice.number > 0 ? static_cast<std::size_t>(choice.number - 1) : 0;
}

// FreeXL reads a rich-text cell (RSTRING) as empty: a sheet holding one is refused, not read
// with its texts lost. The workbook's own sheet list is matched to FreeXL's by position when
// both count the same sheets; otherwise any sheet with rich text refuses them all.
std::optional<ImportError> RichTextIn(const std::string& path, std::size_t index,
                                      std::size_t count) {
    const auto facts = ReadBiffFacts(path);
    if (!facts) return std::nullopt;
    bool rich = false;
    if (facts->sheets.size() == count)
        rich = facts->sheets[index].richText;
    else
        for (const BiffSheet& s : facts->sheets) rich = rich || s.richText;
    return rich ? std::optional(xls::RichText(facts->version)) : std::nullopt;
}

// False when a cell could not be had (the error is sent).
bool SendCells(const void* xls, unsigned int rows, unsigned short columns, ChildSender& send,
               std::int64_t limit) {
    for (unsigned int r = 0; r < rows; ++r) {
        for (unsigned short col = 0; col < columns; ++col) {
            FreeXL_CellValue cell;
            if (int c = freexl_get_cell_value(xls, r, col, &cell); c != FREEXL_OK) {
                send.error(Failure(c, limit));
                return false;
            }
            const char t = CellTag(cell);
            if (t == 0) continue;
            send.tag(t);
            send.integer(std::int64_t{r} + 1);
            send.integer(std::int64_t{col} + 1);
            if (t == kXlsNumber)
                send.real(cell.type == FREEXL_CELL_INT ? cell.value.int_value
                                                       : cell.value.double_value);
            else
                send.text(cell.value.text_value ? cell.value.text_value : "");
        }
    }
    return true;
}

}  // namespace

void SendXlsSheetList(const std::string& path, std::int64_t limit, ChildSender& send) {
    if (auto e = BeyondTheMemoryLimit(path, limit)) return send.error(*e);
    Handle xls(path);
    auto names = OpenedSheetNames(xls, path, limit, std::nullopt);
    if (!names) return send.error(names.error());
    for (std::size_t i = 0; i < names.value().size(); ++i) {
        const auto size = Select(xls.get(), i, limit);
        if (!size) return send.error(size.error());
        send.tag(kXlsSheet);
        send.text(names.value()[i]);
        send.integer(size.value().first);
        send.integer(size.value().second);
    }
}

void SendXlsSheet(const std::string& path, const SheetChoice& choice, std::int64_t limit,
                  ChildSender& send) {
    if (auto e = BeyondTheMemoryLimit(path, limit)) return send.error(*e);
    Handle xls(path);
    auto names = OpenedSheetNames(xls, path, limit, ChosenWithoutNames(choice));
    if (!names) return send.error(names.error());
    const auto index = SheetChoiceIndex(names.value(), choice);
    if (!index) return send.error(index.error());
    if (auto rich = RichTextIn(path, index.value(), names.value().size())) return send.error(*rich);
    const auto size = Select(xls.get(), index.value(), limit);
    if (!size) return send.error(size.error());
    if (!SendCells(xls.get(), size.value().first, size.value().second, send, limit)) return;
    send.tag(kXlsRead);
    send.text(names.value()[index.value()]);
    send.integer(static_cast<std::int64_t>(index.value()) + 1);
    send.integer(std::ssize(names.value()));
}

}  // namespace corvane
