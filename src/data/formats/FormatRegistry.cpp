#include "data/formats/FormatRegistry.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace corvane {

const FormatRow& FormatRegistry::detect(std::string_view head, std::string_view extension) const {
    for (const FormatRow& row : m_rows)
        if (row.sniff && row.sniff(head)) return row;
    for (const FormatRow& row : m_rows)
        if (std::find(row.extensions.begin(), row.extensions.end(), extension) !=
            row.extensions.end())
            return row;
    return m_rows.front();
}

std::vector<std::string> FormatRegistry::mimeTypes() const {
    std::vector<std::string> out;
    for (const FormatRow& row : m_rows)
        for (const std::string& type : row.mimeTypes)
            if (std::find(out.begin(), out.end(), type) == out.end()) out.push_back(type);
    return out;
}

std::string FormatRegistry::LowerExtension(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext;
}

}  // namespace corvane
