#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataSet.h"

// One value of a grouping variable as the group boxes offer it.
struct GroupValue {
    std::string text;        // what picking it writes into a group box: its label, or the number
    std::string shown;       // "control", "1 (control)" or "2"
    std::int64_t count = 0;  // the cases holding it
};

// More values than this make no list to pick two groups from.
inline constexpr std::size_t kMaxGroupValues = 50;

// The values variable v (from 1) takes over the cases of `data`, missing ones left out, with
// their counts: a text variable's labels in their order, numbers in ascending order. None when
// it takes more than kMaxGroupValues values.
std::optional<std::vector<GroupValue>> GroupValuesOf(const corvane::DataSet& data, std::int32_t v);

// What a group box's text names in variable `grouping`, as the sentence for a paper
// names a group ("control", or "group = 2" for a number without a label); none when the text
// names no value the analysis would take.
std::optional<std::string> GroupNamed(const corvane::DataSet& data, std::int32_t grouping,
                                      std::string_view text);
