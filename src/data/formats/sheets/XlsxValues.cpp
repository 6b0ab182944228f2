#include "data/formats/sheets/XlsxValues.h"

#include <charconv>

#include "data/formats/sheets/SheetTable.h"

namespace corvane {

ImportError XlsxDamaged(const std::string& what) {
    return ImportError::Unreadable("the workbook is damaged: " + what);
}

std::optional<std::int64_t> ParseXlsxInt(std::string_view text) {
    std::int64_t v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size()) return std::nullopt;
    return v;
}

bool ParseCellReference(std::string_view ref, std::int64_t& row, std::int64_t& column) {
    std::size_t i = 0;
    column = 0;
    while (i < ref.size() &&
           ((ref[i] >= 'A' && ref[i] <= 'Z') || (ref[i] >= 'a' && ref[i] <= 'z'))) {
        if (column > SheetTable::kMaxColumns) return false;
        column = column * 26 + ((ref[i] | 0x20) - 'a' + 1);
        ++i;
    }
    if (i == 0) return false;
    row = 0;
    if (i == ref.size()) return true;
    const auto r = ParseXlsxInt(ref.substr(i));
    if (!r || *r < 1) return false;
    row = *r;
    return true;
}

}  // namespace corvane
