#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "common/Utf8Text.h"
#include "data/ImportError.h"

namespace corvane {

enum class TextEncoding : unsigned char {
    Utf8,          // valid UTF-8 (plain ASCII included)
    Utf8WithMark,  // a UTF-8 byte-order mark first
    Windows1252,   // neither: the code page Western spreadsheets write their CSV files in
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
};

// The line as the dialect splits it: itself, or for aligned columns the line with its runs of
// spaces made single (see AlignedLine), held in `buffer`.
std::string_view DialectLine(const TextDialect& dialect, std::string_view line,
                             std::string& buffer);

// Some whole lines from the start, the middle and the end of a file (line ends removed, the
// byte-order mark kept on the first line if the file has one), and whether `lines` begins at
// the start of the file.
struct TextSample {
    std::vector<std::string> lines;
    bool fromStart = true;
    // NUL bytes other than those of UTF-16 text (a byte-order mark, or the zero half of each
    // character of mostly ASCII text): a binary file, not text.
    bool binary = false;
};

// Whole lines from three windows of the file (its start, middle and end; all of a small file).
Result<TextSample, ImportError> SampleTextFile(const std::string& path);

// The dialect the sample reads best in. The delimiter among comma, semicolon, tab and space is
// the one that splits the most lines into one and the same number of at least two fields,
// quotes respected; ties go to the one under which more fields read as numbers, then in that
// order. `fallback` is taken when no delimiter splits any line (a single column).
// When none of comma, semicolon and tab splits every line alike, and runs of spaces do while
// single spaces do not, the columns are aligned by spaces.
TextDialect SniffTextDialect(const TextSample& sample, char fallback);

// Whether the dialect splits every nonempty line of the sample, the first included, into one
// and the same count of at least two well-formed fields.
bool ReadsAlike(const TextSample& sample, const TextDialect& dialect);

// What the summary says of the dialect: "semicolon-delimited text, decimal comma, Windows-1252".
std::string DescribeTextDialect(const TextDialect& dialect);

// How a file in the dialect looks, for a message: "semicolon-delimited with decimal commas",
// "aligned by spaces".
std::string DescribeTextLayout(const TextDialect& dialect);

}  // namespace corvane
