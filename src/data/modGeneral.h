#pragma once

#include <cstdint>

#include "data/DataMatrix.h"

// The program's one data set: written only by the import, read by everything else.
namespace corvane::modGeneral {

extern DataMatrix g_sngData;
extern std::int32_t g_lngNumberOfCases;
extern std::int32_t g_lngNumberOfVariables;

}  // namespace corvane::modGeneral
