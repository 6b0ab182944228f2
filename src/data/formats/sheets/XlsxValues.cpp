#include "data/formats/sheets/XlsxValues.h"

#include <limits>

#include "data/formats/sheets/SheetTable.h"

namespace corvane {

ImportError XlsxDamaged(const std::string& what) {
    return ImportError::Unreadable("the workbook is damaged: " + what);
}

std::optional<std::int64_t> ParseXlsxInt(std::string_view text) {
    // As std::from_chars reads it (a '-' but no '+', no overflow), written out: every row and
    // cell reference of a sheet passes here.
    const bool negative = text.starts_with('-');
    if (negative) text.remove_prefix(1);
    if (text.empty()) return std::nullopt;
    std::uint64_t v = 0;
    constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    for (const char c : text) {
        if (c < '0' || c > '9' || v > (kMax + negative - (c - '0')) / 10) return std::nullopt;
        v = v * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return negative ? static_cast<std::int64_t>(0 - v) : static_cast<std::int64_t>(v);
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
