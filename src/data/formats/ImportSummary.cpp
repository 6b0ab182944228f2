#include "data/formats/ImportSummary.h"

namespace corvane {

namespace {

// The summary's first line and its names line, which name the kind of file read.
struct Wording {
    const char* opened;
    const char* names;
};

Wording WordingOf(DataSource source) {
    switch (source) {
        case DataSource::Workbook:
            return {"Opened the workbook: ", "\r\nVariable Names: from the first row"};
        case DataSource::StatisticsFile:
            return {"Opened the data file: ", "\r\nVariable Names: from the file"};
        case DataSource::TextFile:
            break;
    }
    return {"Opened the text file: ", "\r\nVariable Names: from the first line"};
}

}  // namespace

std::string ImportSummary(const std::string& path, std::int32_t cases, std::int32_t variables,
                          bool namesRead, const std::string& readAs, DataSource source) {
    const Wording wording = WordingOf(source);
    return wording.opened + path + "\r\nNumber of Cases: " + std::to_string(cases) +
           "\r\nNumber of Variables: " + std::to_string(variables) +
           (namesRead ? wording.names : "") + (readAs.empty() ? "" : "\r\nRead as: " + readAs) +
           "\r\n\r\n\r\n";
}

}  // namespace corvane
