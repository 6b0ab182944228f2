#include "data/formats/FormatsHelpText.h"

#include <algorithm>
#include <cstddef>
#include <vector>

namespace corvane {

namespace {

// The text's words (split at single spaces) on lines of at most `width` characters.
std::string Wrapped(const std::string& text, std::size_t width) {
    std::string out, line;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(' ', start), text.size());
        const std::string word = text.substr(start, end - start);
        if (!line.empty() && line.size() + 1 + word.size() > width) {
            out += line + "\n";
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
        start = end + 1;
    }
    return out + line + "\n";
}

}  // namespace

std::string FormatsHelpText(const FormatRegistry& formats) {
    std::vector<std::string> phrases;
    for (const FormatRow& row : formats.rows())
        if (!row.help.empty() &&
            std::find(phrases.begin(), phrases.end(), row.help) == phrases.end())
            phrases.push_back(row.help);
    std::string list;
    for (const std::string& phrase : phrases) list += (list.empty() ? "" : "; ") + phrase;
    return Wrapped(
        "D is auto, space, comma, tab, semicolon or pipe: auto detects the file's format (" + list +
            "). S picks a workbook's sheet, an R workspace's data frame or a zip archive's file, "
            "by "
            "name or number (the first by default).",
        79);
}

}  // namespace corvane
