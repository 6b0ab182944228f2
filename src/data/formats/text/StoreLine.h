#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "data/ImportError.h"
#include "data/formats/text/PieceText.h"

namespace corvane {

// Splits, classifies and stores the fields of one data record (a line, or several when a quoted
// field holds line ends; messages name the line `at` it starts on) into `cells`, its row of
// `storedColumns` cells, and raises `variables` to the fields seen.
// A line with more fields than the first pass counted means the file changed. `scratch` holds
// a quoted field's text between calls.
//
// With `text` (a table: the file has a names line) a field that is neither a number nor a
// missing form makes its column a text column of the piece, and a number too large for a single
// is noted there rather than failing at once; without it such fields fail the line.
// How a line's fields are written: their delimiter, and whether numbers take a decimal comma
// ("72,9"; then a point makes no number, so that "1.234" is never read as a thousand or a
// fraction by mistake).
struct FieldSyntax {
    char delimiter;
    bool decimalComma = false;
};

std::optional<ImportError> StoreLine(std::string_view line, RecordPlace at, float* cells,
                                     std::int32_t storedColumns, FieldSyntax syntax,
                                     std::int32_t& variables, std::string& scratch,
                                     PieceText* text = nullptr);

}  // namespace corvane
