#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One field of a delimited record (a line, or several when a quoted field holds line ends).
// A field whose first character (past the spaces dropped, below) is a double quote is quoted:
// it runs to the closing quote, a doubled quote inside stands for one quote, and neither a
// delimiter nor a line end inside splits. A quoted field that is never closed, or whose closing
// quote is not followed by the delimiter or the record's end, is malformed: it runs to the next
// delimiter after the point where it went wrong (or to the end) and is an invalid entry.
// With any delimiter but the space, spaces around a field are no part of it (" 3.5 " is 3.5,
// ` "a b" ` is the quoted a b); the space delimiter keeps its rule that each space splits.
struct Field {
    std::string_view text;  // the text inside the quotes; a view into the line or the scratch
    std::size_t stop = 0;   // where the field ends: its delimiter, or the end of the line
    bool quoted = false;
    bool malformed = false;
};

// The field that starts at `start`. `scratch` holds the text when doubled quotes had to be
// undone.
Field SplitField(std::string_view line, std::size_t start, char delimiter, std::string& scratch);

// Whether spaces around a field are dropped under `delimiter` (all but the space).
inline bool TrimsSpaces(char delimiter) { return delimiter != ' '; }

// Where a quoted field ends whose text starts at `from` (just past its opening quote): just
// past its closing quote, the first quote not doubled; npos when `text` holds none.
std::size_t ClosingQuoteEnd(std::string_view text, std::size_t from);

// Fields in a record: none for an empty one, otherwise one more than the delimiters outside
// quoted fields.
std::int64_t CountFields(std::string_view record, char delimiter);

// A line of columns aligned by runs of spaces, as R prints a data frame: the spaces before the
// first field and after the last dropped, and each run of spaces between fields (outside
// quoted fields) made one, so that the line splits at single spaces. The line itself when it
// needs no change, else a view of `buffer`.
std::string_view AlignedLine(std::string_view line, std::string& buffer);

// A variable name (see IsVariableName): a field that is well-formed and whose text is a name,
// quoted or not as the field was. With `windows1252` the field's bytes are read in that code
// page rather than as UTF-8.
bool IsName(const Field& field, bool windows1252 = false);

// The names of a first line whose every field is a name or empty and at least one a name;
// nothing when the line holds data. A line of more than `maxFields` fields holds no names.
std::optional<std::vector<std::string>> ReadNamesLine(std::string_view line, char delimiter,
                                                      std::int64_t maxFields,
                                                      bool windows1252 = false);

// When the chosen delimiter left one field per line: the other delimiter (comma, tab, space,
// tried in that order) that splits both lines into the same number of at least two fields,
// each a number, a missing value or a name; 0 when none does.
char LikelyDelimiter(std::string_view line1, std::string_view line2, char chosen);

}  // namespace corvane
