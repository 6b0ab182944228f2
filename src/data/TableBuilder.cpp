#include "data/TableBuilder.h"

#include <algorithm>

#include "common/Single.h"

namespace corvane {

static_assert(TableBuilder::kMaxLabels < static_cast<std::int64_t>(kMissing),
              "a code must never read as the missing value");

TextColumn& TableBuilder::text(std::int32_t column) {
    const auto at = static_cast<std::size_t>(column - 1);
    if (m_text.size() <= at) m_text.resize(at + 1);
    if (!m_text[at]) m_text[at] = std::make_unique<TextColumn>(column, m_maxLabels);
    return *m_text[at];
}

bool TableBuilder::holdsText(std::int32_t column) const {
    const auto at = static_cast<std::size_t>(column - 1);
    return at < m_text.size() && m_text[at] != nullptr;
}

void TableBuilder::labelNumbers(std::int32_t column, std::vector<ValueLabel> labels) {
    // Ascending by code, each once.
    std::stable_sort(labels.begin(), labels.end(),
                     [](const ValueLabel& a, const ValueLabel& b) { return a.code < b.code; });
    labels.erase(
        std::unique(labels.begin(), labels.end(),
                    [](const ValueLabel& a, const ValueLabel& b) { return a.code == b.code; }),
        labels.end());
    m_labelled.emplace_back(column, std::move(labels));
}

DataSet::Contents TableBuilder::finish(DataMatrix matrix, std::int32_t cases,
                                       std::int32_t variables, std::vector<std::string> names) && {
    DataSet::Contents set;
    set.matrix = std::move(matrix);
    set.cases = cases;
    set.variables = variables;
    set.names = std::move(names);
    bool anyText = false;
    for (const auto& t : m_text) anyText = anyText || t != nullptr;
    if (!anyText && m_labelled.empty()) return set;
    set.facts.resize(static_cast<std::size_t>(variables));
    for (auto& t : m_text) {
        if (t) set.facts[static_cast<std::size_t>(t->column() - 1)] = std::move(*t).facts();
    }
    for (auto& [column, labels] : m_labelled) {
        VariableFacts& f = set.facts[static_cast<std::size_t>(column - 1)];
        f.kind = VariableKind::LabelledNumbers;
        f.labels = std::move(labels);
    }
    return set;
}

}  // namespace corvane
