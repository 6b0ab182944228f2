#pragma once

#include <memory>

#include "data/DataSet.h"

// The program's current data set. Readers take the snapshot and keep it for as long as they
// work on it; a new data set replaces the current one without touching theirs.
namespace corvane::modGeneral {

// Never null: an empty data set before anything was loaded.
std::shared_ptr<const DataSet> Current();

// A whole data set replaces the loaded one (a successful import).
void Replace(DataSet data);
// The data set reads as empty, no cases and no variables, while the matrix and the names stay
// as they were: what an import that ended before reading a file leaves.
void ReadAsEmpty();
// No data set at all.
void Clear();

}  // namespace corvane::modGeneral
