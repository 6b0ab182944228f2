#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/DataMatrix.h"

// The program's one data set: read by everything, written only through the functions below.
namespace corvane::modGeneral {

extern DataMatrix g_sngData;
extern std::int32_t g_lngNumberOfCases;
extern std::int32_t g_lngNumberOfVariables;
// The names from the file's first line; empty when it had none.
extern std::vector<std::string> g_strVariableNames;

// A whole data set replaces the loaded one (a successful import).
void Replace(DataMatrix matrix, std::int32_t cases, std::int32_t variables,
             std::vector<std::string> names);
// The data set reads as empty, no cases and no variables, while the matrix and the names stay
// as they were: what an import that ended before reading a file leaves.
void ReadAsEmpty();
// No data set at all.
void Clear();

}  // namespace corvane::modGeneral
