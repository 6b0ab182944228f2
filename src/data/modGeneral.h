#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/DataMatrix.h"

// The program's one data set: written only by the import, read by everything else.
namespace corvane::modGeneral {

extern DataMatrix g_sngData;
extern std::int32_t g_lngNumberOfCases;
extern std::int32_t g_lngNumberOfVariables;
// The names from the file's first line; empty when it had none.
extern std::vector<std::string> g_strVariableNames;

}  // namespace corvane::modGeneral
