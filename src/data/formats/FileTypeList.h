#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "data/formats/FormatRegistry.h"

namespace corvane {

// One entry of the file-type list and of the file dialog's filters.
struct FileType {
    std::string caption;
    std::vector<std::string> patterns;  // "*.xlsx"

    // "Excel workbooks (*.xlsx *.xlsm *.xls)", as the list and the dialog show it.
    std::string text() const;
};

// The file-type list: the two entries the program always offered, "Text" and "Data", then
// every data file the registry reads, then one entry per caption of its rows in row order.
std::vector<FileType> FileTypeList(const FormatRegistry& formats = FormatRegistry::Builtin());
// The entry for every data file, which the file dialog starts on.
inline constexpr std::size_t kAllDataFilesEntry = 2;

// The file dialog's filters: the list's entries, every data file first, separated by ";;".
std::string FileDialogFilter(const FormatRegistry& formats = FormatRegistry::Builtin());

}  // namespace corvane
