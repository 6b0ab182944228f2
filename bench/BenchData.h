#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "analysis/GroupStatistics.h"
#include "data/DataMatrix.h"

namespace corvane::bench {

// Everything the benchmarks measure is generated from this seed, so every run sees the same
// numbers.
inline constexpr std::uint64_t kSeed = 20260501;

// Two groups of n standard normal values each, the second shifted up by half a unit.
GroupPair NormalGroups(std::int32_t n, std::uint64_t seed = kSeed);

// A cases x variables matrix of normal values (mean 50, SD 10) rounded to 6 significant digits.
DataMatrix NormalMatrix(std::int32_t cases, std::int32_t variables, std::uint64_t seed = kSeed);

// A space-delimited data file of `lines` x `columns` numbers with 6 significant digits. Returns
// false (with errno set) when the file cannot be written.
bool WriteImportFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                     std::uint64_t seed = kSeed);

// A space-delimited table of `lines` cases: a names line, then columns - 1 numbers as in
// WriteImportFile and a last column "group" alternating between two groups, written as the
// words control and treatment when `named`, else as the codes 1 and 2.
bool WriteGroupTableFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                         bool named, std::uint64_t seed = kSeed);

// A table as a spreadsheet in a decimal-comma locale saves it: a names line v1;...;vN, then
// `lines` x `columns` numbers as in WriteImportFile, separated by semicolons and written with
// a decimal comma (72,9).
bool WriteDecimalCommaFile(const std::string& path, std::int64_t lines, std::int32_t columns,
                           std::uint64_t seed = kSeed);

// The numbers of WriteImportFile, row by row, each read back to the double its 6 digits give.
std::vector<double> NormalCells(std::int64_t count, std::uint64_t seed = kSeed);

// The two groups as a data file of "value code" lines (code 1 or 2), every value written with
// the digits that read back to the same single-precision number.
bool WriteGroupsFile(const std::string& path, const GroupPair& groups);

// Group data of few distinct values: a Likert item (4 + 1.5 z rounded and kept within 1..7,
// Group 2 a quarter point higher before the rounding), or normal values of SD 10 rounded to two
// decimals (50 + 10 z, Group 2 five points higher), z standard normal.
enum class Discrete { Likert, Hundredths };

// The two groups of n values each of that shape, each value as its text reads back.
GroupPair DiscreteGroups(std::int32_t n, Discrete shape, std::uint64_t seed = kSeed);

// The same values as a file of "value code" lines, Group 1's first, written as they come (a
// hundred million per group need no memory).
bool WriteDiscreteGroupsFile(const std::string& path, std::int64_t n, Discrete shape,
                             std::uint64_t seed = kSeed);

// The benchmark data directory: $CORVANE_BENCH_DATA, or a directory under the system's
// temporary directory.
std::string DataDirectory();

// The import file of the given shape in DataDirectory(), written first when it is missing.
std::string ImportFile(std::int64_t lines, std::int32_t columns);

// The group table of the given shape in DataDirectory(), written first when it is missing.
std::string GroupTableFile(std::int64_t lines, std::int32_t columns, bool named);

}  // namespace corvane::bench
