#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane {

// One field of a delimited line. A field whose first character is a double quote is quoted:
// it runs to the closing quote, a doubled quote inside stands for one quote, and a delimiter
// inside does not split. A quoted field that is never closed, or whose closing quote is not
// followed by the delimiter or the line end, is malformed: it runs to the next delimiter
// after the point where it went wrong (or to the line end) and is an invalid entry.
struct Field {
    std::string_view text;  // the text inside the quotes; a view into the line or the scratch
    std::size_t stop = 0;   // where the field ends: its delimiter, or the end of the line
    bool quoted = false;
    bool malformed = false;
};

// The field that starts at `start`. `scratch` holds the text when doubled quotes had to be
// undone.
Field SplitField(std::string_view line, std::size_t start, char delimiter, std::string& scratch);

// Fields on a line: none for an empty line, otherwise one more than the delimiters outside
// quoted fields. Stops counting past `limit`.
std::int64_t CountFields(std::string_view line, char delimiter, std::int64_t limit = INT64_MAX);

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
