#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "common/Utf8Text.h"
#include "data/ImportError.h"
#include "data/formats/text/TextSample.h"

namespace corvane {

enum class TextEncoding : unsigned char {
    Utf8,          // valid UTF-8 (plain ASCII included)
    Utf8WithMark,  // a UTF-8 byte-order mark first
    Windows1252,   // neither: the code page Western spreadsheets write their CSV files in
    // UTF-16 decoded to UTF-8 before it was read (see Utf16Text.h): read as UTF-8, said as this.
    Utf16Le,
    Utf16Be,
};

// How a delimited text file is written, as far as reading it needs to know.
struct TextDialect {
    char delimiter = ' ';
    bool decimalComma = false;  // "72,9" is the number 72.9
    TextEncoding encoding = TextEncoding::Utf8;
    bool separatorLine = false;  // a first line such as "sep=;" names the delimiter, not data
    // Columns aligned by runs of spaces (delimiter ' '): spaces around a line are dropped and a
    // run of them splits once, as R's read.table reads a printed data frame.
    bool alignedColumns = false;
    // Lines of notes above the table (see NotesLines), no part of the data.
    std::int64_t notesLines = 0;
};

// The lines before the data: a separator line and notes.
inline std::int64_t SkippedLines(const TextDialect& dialect) {
    return (dialect.separatorLine ? 1 : 0) + dialect.notesLines;
}

// The line as the dialect splits it: itself, or for aligned columns the line with its runs of
// spaces made single (see AlignedLine), held in `buffer`.
std::string_view DialectLine(const TextDialect& dialect, std::string_view line,
                             std::string& buffer);

// The dialect the sample reads best in. The delimiter among comma, semicolon, tab, space and
// pipe is the one that splits the most records (lines, or several when a quoted field holds
// line ends) into one and the same number of at least two fields, quotes respected; ties go to
// the one under which more fields read as numbers, then in that order. `fallback` is taken when
// no delimiter splits any record (a single column). When none of comma, semicolon, tab and pipe
// splits every line alike, and runs of spaces do while single spaces do not, the columns are
// aligned by spaces. Lines of notes above a delimited table are found (see NotesLines).
TextDialect SniffTextDialect(const TextSample& sample, char fallback);

// Whether the dialect splits every nonempty record of the sample past its separator line and
// notes, the first included, into one and the same count of at least two well-formed fields.
bool ReadsAlike(const TextSample& sample, const TextDialect& dialect);

// What the summary says of the dialect: "semicolon-delimited text, decimal comma, Windows-1252",
// "comma-delimited text, the first 10 lines (notes) skipped", "tab-delimited text, UTF-16LE".
std::string DescribeTextDialect(const TextDialect& dialect);

// How a file in the dialect looks, for a message: "semicolon-delimited with decimal commas",
// "aligned by spaces".
std::string DescribeTextLayout(const TextDialect& dialect);

}  // namespace corvane
