#pragma once

#include <cstddef>
#include <string_view>

namespace corvane {

// A variable name: a text that is neither a number nor a missing-value form, valid UTF-8
// without control characters, at most kMaxNameBytes long and, unless `quoted` (a quoted field
// of a text file, or a spreadsheet's text cell), starting like a word (a letter, an underscore,
// any non-ASCII character, or a point before a letter) and not one of the spellings other
// programs write for infinity. With `windows1252` the bytes are read in that code page rather
// than as UTF-8.
inline constexpr std::size_t kMaxNameBytes = 255;
bool IsVariableName(std::string_view text, bool quoted, bool windows1252 = false);

}  // namespace corvane
