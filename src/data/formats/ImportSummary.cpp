#include "data/formats/ImportSummary.h"

namespace corvane {

namespace {

const char* Opened(DataSource source) {
    switch (source) {
        case DataSource::Workbook:
            return "Opened the workbook: ";
        case DataSource::StatisticsFile:
            return "Opened the data file: ";
        case DataSource::TextFile:
            break;
    }
    return "Opened the text file: ";
}

const char* NamesFrom(DataSource source) {
    switch (source) {
        case DataSource::Workbook:
            return "\r\nVariable Names: from the first row";
        case DataSource::StatisticsFile:
            return "\r\nVariable Names: from the file";
        case DataSource::TextFile:
            break;
    }
    return "\r\nVariable Names: from the first line";
}

}  // namespace

std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead, const std::string& readAs, DataSource source) {
    return Opened(source) + path + "\r\nNumber of Cases: " + std::to_string(cases) +
           "\r\nNumber of Variables: " + std::to_string(variables) +
           (namesRead ? NamesFrom(source) : "") + (readAs.empty() ? "" : "\r\nRead as: " + readAs) +
           "\r\n\r\n\r\n";
}

}  // namespace corvane
