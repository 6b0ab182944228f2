#include "data/formats/ImportSummary.h"

namespace corvane {

std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead, const std::string& readAs) {
    return "Opened the text file: " + path + "\r\nNumber of Cases: " + std::to_string(cases) +
           "\r\nNumber of Variables: " + std::to_string(variables) +
           (namesRead ? "\r\nVariable Names: from the first line" : "") +
           (readAs.empty() ? "" : "\r\nRead as: " + readAs) + "\r\n\r\n\r\n";
}

}  // namespace corvane
