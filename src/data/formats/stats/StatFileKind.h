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
// file), or else from its extension (".sav", "sav" or a whole file name; any case); None when
// neither names one.
StatFileKind SniffStatisticsFile(std::string_view firstBytes, std::string_view extension);

// The format's name as the user knows it, such as "SPSS data file".
std::string StatFileKindName(StatFileKind kind);

// A line saying what was read, such as "SPSS data file, 5 variables, 1 with value labels".
std::string DescribeStatisticsFile(StatFileKind kind, const DataSet& data);

}  // namespace corvane
