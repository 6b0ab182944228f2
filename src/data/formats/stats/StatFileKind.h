#pragma once

#include <string>
#include <string_view>

#include "data/DataSet.h"

namespace corvane {

// The statistics-file formats the program reads.
enum class StatFileKind {
    None,            // none of them
    SpssData,        // .sav
    SpssCompressed,  // .zsav
    SpssPortable,    // .por
    Stata,           // .dta
    SasData,         // .sas7bdat
    SasTransport,    // .xpt
};

// How many bytes from the start of a file SniffStatisticsFile looks at.
inline constexpr std::size_t kStatSniffBytes = 1024;

// The format of a file from its first bytes (the first kStatSniffBytes or all of a shorter
// file); None when they name none.
StatFileKind SniffStatisticsContent(std::string_view firstBytes);
// The same, or else the format its extension names (".sav", "sav" or a whole file name; any
// case); None when neither names one.
StatFileKind SniffStatisticsFile(std::string_view firstBytes, std::string_view extension);

// The format with its article, as a message names it: "an SPSS data file".
std::string_view StatFileKindName(StatFileKind kind);

// A line saying what was read, after the format's name: "SPSS data file, 5 variables, 1 with
// value labels".
std::string DescribeStatisticsFile(std::string_view name, const DataSet& data);

}  // namespace corvane
