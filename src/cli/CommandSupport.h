#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/DataFileChoice.h"
#include "data/DataSet.h"

// What the commands share.
namespace corvane::cli {

// The file's name as the desktop program shows it: a full path.
std::string DisplayPath(const std::string& file);
// The data file, or a UserError with the import's message naming `shownPath`.
DataSet Import(const DataFileChoice& choice, const std::string& shownPath);
// A UserError for the first of `variables` (numbers from 1) beyond the data's last variable.
void CheckInData(const std::vector<std::int32_t>& variables, const DataSet& data);
// Text for standard output: LF line ends unless CR LF were asked for.
std::string WithLineEnds(const std::string& text, bool crlf);

}  // namespace corvane::cli
