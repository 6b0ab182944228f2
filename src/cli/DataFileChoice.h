#pragma once

#include <string>

#include "data/formats/sheets/Workbook.h"
#include "data/import/ImportDataFile.h"

namespace corvane::cli {

// The data file and how to read it. Every command's values hold one, named `data`.
struct DataFileChoice {
    std::string file;
    char delimiter = kDetectFormat;
    SheetChoice sheet;
};

}  // namespace corvane::cli
