#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "cli/CommandOption.h"
#include "data/formats/sheets/Workbook.h"

// The options several commands take, each with its check. A command's values hold the data file
// as `data` (DataFileChoice) and the line ends as `crlf`.
namespace corvane::cli {

CliOption DelimiterAbout();
CliOption SheetAbout();
CliOption CrlfAbout();

// --delimiter as the character the import splits on; kDetectFormat for auto or when not given.
char ReadDelimiter(const std::string* text);
// --sheet: a workbook's sheet by name, or by number from 1; the first when not given.
SheetChoice ReadSheet(const std::string* text);
// A whole number from `low` to `high`, or a UsageError with `reason`; nothing when not given.
std::optional<std::uint32_t> ReadBounded(const std::string* text, std::uint32_t low,
                                         std::uint32_t high, const char* reason);

template <class Values>
CommandOption<Values> DelimiterOption() {
    return {DelimiterAbout(),
            [](const std::string* text, Values& v) { v.data.delimiter = ReadDelimiter(text); }};
}

template <class Values>
CommandOption<Values> SheetOption() {
    return {SheetAbout(),
            [](const std::string* text, Values& v) { v.data.sheet = ReadSheet(text); }};
}

template <class Values>
CommandOption<Values> CrlfOption() {
    return {CrlfAbout(), [](const std::string* text, Values& v) { v.crlf = text != nullptr; }};
}

}  // namespace corvane::cli
