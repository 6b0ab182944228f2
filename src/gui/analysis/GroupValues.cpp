#include "gui/analysis/GroupValues.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "analysis/GroupChoice.h"
#include "common/Single.h"
#include "data/CellText.h"

namespace {

struct Tally {
    float value;
    std::int64_t count;
};

// The text that reads back as exactly `x`, so a picked number finds the same cases.
std::string ExactNumber(float x) {
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, x);
    return std::string(buf, r.ptr);
}

}  // namespace

std::optional<std::vector<GroupValue>> GroupValuesOf(const corvane::DataSet& data, std::int32_t v) {
    const corvane::DataMatrix& m = data.matrix();
    if (v < 1 || v > data.variables()) return std::vector<GroupValue>{};
    // A grouping variable takes few values, and mostly the one just seen: a short table searched
    // from the last hit beats hashing every cell.
    std::vector<Tally> tallies;
    tallies.reserve(kMaxGroupValues + 1);
    std::size_t last = 0;
    for (std::int32_t row = 1; row <= data.cases(); ++row) {
        const float x = m.at(row, v);
        if (corvane::IsMissing(x) || std::isnan(x)) continue;
        if (last < tallies.size() && tallies[last].value == x) {
            ++tallies[last].count;
            continue;
        }
        const auto at = std::find_if(tallies.begin(), tallies.end(),
                                     [x](const Tally& t) { return t.value == x; });
        if (at != tallies.end()) {
            ++at->count;
            last = static_cast<std::size_t>(at - tallies.begin());
            continue;
        }
        if (tallies.size() == kMaxGroupValues) return std::nullopt;
        tallies.push_back({x, 1});
        last = tallies.size() - 1;
    }
    // Text codes follow the labels' order of first appearance, so this order serves both kinds.
    std::sort(tallies.begin(), tallies.end(),
              [](const Tally& a, const Tally& b) { return a.value < b.value; });
    std::vector<GroupValue> values;
    values.reserve(tallies.size());
    for (const Tally& t : tallies) {
        const std::string* label = data.labelOf(v, t.value);
        values.push_back({label != nullptr ? *label : ExactNumber(t.value),
                          corvane::CellText(data, v, t.value), t.count});
    }
    return values;
}

std::optional<std::string> GroupNamed(const corvane::DataSet& data, std::int32_t grouping,
                                      std::string_view text) {
    if (grouping < 1 || grouping > data.variables()) return std::nullopt;
    // The analysis's own reading of a group's text, asked for this one group.
    const auto chosen = corvane::ChooseGroups(data, grouping, text, text);
    if (!chosen.ok()) return std::nullopt;
    return corvane::GroupPhrase(data, grouping, chosen.value().code1);
}
