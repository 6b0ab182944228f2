#include "data/formats/FileTypeList.h"

#include <algorithm>

namespace corvane {

namespace {

void AddOnce(std::vector<std::string>& to, const std::string& pattern) {
    if (std::find(to.begin(), to.end(), pattern) == to.end()) to.push_back(pattern);
}

}  // namespace

std::string FileType::text() const {
    std::string out = caption + " (";
    for (std::size_t i = 0; i < patterns.size(); ++i) out += (i ? " " : "") + patterns[i];
    return out + ")";
}

std::vector<FileType> FileTypeList(const FormatRegistry& formats) {
    std::vector<FileType> list{{"Text", {"*.txt"}}, {"Data", {"*.dat"}}, {"All data files", {}}};
    for (const FormatRow& row : formats.rows()) {
        auto entry = std::find_if(list.begin() + kAllDataFilesEntry + 1, list.end(),
                                  [&](const FileType& t) { return t.caption == row.caption; });
        if (entry == list.end()) entry = list.insert(list.end(), FileType{row.caption, {}});
        for (const std::string& extension : row.extensions) {
            AddOnce(entry->patterns, "*" + extension);
            AddOnce(list[kAllDataFilesEntry].patterns, "*" + extension);
        }
    }
    return list;
}

std::string FileDialogFilter(const FormatRegistry& formats) {
    const std::vector<FileType> list = FileTypeList(formats);
    std::string out = list[kAllDataFilesEntry].text();
    for (std::size_t i = 0; i < list.size(); ++i)
        if (i != kAllDataFilesEntry) out += ";;" + list[i].text();
    return out;
}

}  // namespace corvane
