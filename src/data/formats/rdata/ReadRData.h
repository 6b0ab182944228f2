#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "common/Result.h"
#include "data/DataSet.h"
#include "data/ImportError.h"
#include "data/OpenDataFile.h"
#include "data/formats/sheets/Workbook.h"

namespace corvane {

// What a file's first bytes say of it: an .rds (saveRDS), a workspace (save), or neither.
// A packed file (gzip, xz) is told by its first unpacked bytes; bzip2 unpacks nothing from so
// few bytes, so such a file is known by its name alone.
enum class RDataKind { None, SingleObject, Workspace };
RDataKind SniffRData(std::string_view head);

// A data frame read from an R data file, with where it stands among a workspace's data frames.
struct RDataRead {
    DataSet data;
    bool workspace = false;
    std::string name;         // the data frame's name in a workspace
    std::int64_t number = 0;  // its place among the workspace's data frames, from 1
    std::int64_t count = 0;   // the workspace's data frames
};

// Reads the data frame of an .rds, or the chosen data frame of a workspace (by name, else by
// number among its data frames, else the first), whichever the file's content is; packed files
// are unpacked as they are read. An object that is not a data frame, and a workspace without
// one, are refused naming what the file holds. See DataFrameToDataSet for the columns.
Result<RDataRead, ImportError> ReadRData(const std::string& path, const FileHead& head,
                                         const SheetChoice& choice = {});
Result<RDataRead, ImportError> ReadRData(const std::string& path, const SheetChoice& choice = {});

// The data frames of a workspace, as a workbook's sheets (rows counting a names row); none for
// an .rds.
Result<std::vector<SheetInfo>, ImportError> ListRDataFrames(const std::string& path);

// "R data file", "R workspace, data frame "trial" (1 of 2)".
std::string DescribeRDataRead(const RDataRead& read);

}  // namespace corvane
