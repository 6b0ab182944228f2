#include "data/modGeneral.h"

namespace corvane::modGeneral {

DataMatrix g_sngData;
std::int32_t g_lngNumberOfCases = 0;
std::int32_t g_lngNumberOfVariables = 0;
std::vector<std::string> g_strVariableNames;

}  // namespace corvane::modGeneral
