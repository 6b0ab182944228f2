#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/ImportError.h"

namespace corvane {

// The small readings of an .xlsx's attribute values, shared by its parts' handlers.

// "the workbook is damaged: `what`".
ImportError XlsxDamaged(const std::string& what);

// A whole decimal number, nothing else.
std::optional<std::int64_t> ParseXlsxInt(std::string_view text);

// "B5" -> column 2, row 5; row 0 when the reference has no digits. False when malformed, or
// right of the last column a sheet has.
bool ParseCellReference(std::string_view ref, std::int64_t& row, std::int64_t& column);

}  // namespace corvane
