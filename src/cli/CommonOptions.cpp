#include "cli/CommonOptions.h"

#include "cli/CliArguments.h"
#include "data/import/ImportDataFile.h"

namespace corvane::cli {

CliOption DelimiterAbout() {
    return {.name = "delimiter",
            .placeholder = "D",
            .defaultText = "auto",
            .help =
                "How the data file is read: D is auto, space, comma, tab, semicolon or pipe. With "
                "auto its format is detected: delimited text (the delimiter, a decimal comma "
                "and the Windows-1252 code page or UTF-16 sniffed from samples of the file), an "
                "Excel (.xlsx, .xlsm, .xls) or OpenDocument (.ods) workbook, an SPSS, Stata or "
                "SAS data file, or an R data file or workspace (.rds, .RData, .rda), any of them "
                "also compressed by gzip, bzip2 or xz or in a zip archive; the import summary "
                "then says what it was read as. Any other "
                "value reads the file as delimited text with that delimiter."};
}

CliOption SheetAbout() {
    return {.name = "sheet",
            .placeholder = "S",
            .help =
                "The sheet of a workbook, the data frame of an R workspace, or the file of a zip "
                "archive of several, to read: S is its name, or its place from 1. The first "
                "sheet or data frame when not given."};
}

CliOption CrlfAbout() {
    return {.name = "crlf",
            .help =
                "CR LF line ends, as the desktop program's output pane holds them; LF "
                "otherwise."};
}

char ReadDelimiter(const std::string* text) {
    if (text == nullptr || *text == "auto") return kDetectFormat;
    if (*text == "space") return ' ';
    if (*text == "comma") return ',';
    if (*text == "tab") return '\t';
    if (*text == "semicolon") return ';';
    if (*text == "pipe") return '|';
    throw UsageError{"--delimiter takes auto, space, comma, tab, semicolon or pipe"};
}

SheetChoice ReadSheet(const std::string* text) {
    SheetChoice sheet;
    if (text == nullptr) return sheet;
    if (text->empty()) throw UsageError{"--sheet takes a sheet's name or its number from 1"};
    // Digits pick a sheet by its place; anything else by its name.
    if (text->find_first_not_of("0123456789") == std::string::npos) {
        const auto n = ParseUnsigned<std::uint32_t>(*text);
        if (!n || *n < 1 || *n > 100000)
            throw UsageError{"--sheet takes a sheet's name or its number from 1"};
        sheet.number = static_cast<std::int32_t>(*n);
    } else {
        sheet.name = *text;
    }
    return sheet;
}

std::optional<std::uint32_t> ReadBounded(const std::string* text, std::uint32_t low,
                                         std::uint32_t high, const char* reason) {
    if (text == nullptr) return std::nullopt;
    const auto n = ParseUnsigned<std::uint32_t>(*text);
    if (!n || *n < low || *n > high) throw UsageError{reason};
    return n;
}

}  // namespace corvane::cli
