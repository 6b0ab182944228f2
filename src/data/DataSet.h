#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/DataMatrix.h"

namespace corvane {

// A loaded data set: the matrix, its two counts and the names from the file's first line (none
// when it had no names line; an empty name for a variable the line left unnamed). It never
// changes once made; the program shares it as std::shared_ptr<const DataSet>, so whoever holds
// one keeps reading the same data whatever is loaded meanwhile.
enum class VariableKind : std::uint8_t {
    Numbers,          // plain numbers, as every variable of a file without text reads
    Text,             // text cells, held as the codes 1, 2, ... of its labels
    LabelledNumbers,  // numbers, some of whose codes carry a label
};

// How the import summary speaks of the file a data set was read from ("Opened the workbook: ");
// each row of the format registry picks one, so a new format needs no new value.
enum class DataSource : std::uint8_t { TextFile, Workbook, StatisticsFile };

// One label of a variable: the code the cells hold and the text it stands for.
struct ValueLabel {
    float code = 0.0f;
    std::string text;
};

// What is known about one variable beyond its cells. Kept once per variable, never per cell.
struct VariableFacts {
    VariableKind kind = VariableKind::Numbers;
    // Text: the labels in order of first appearance, codes 1, 2, ...; labelled numbers: the
    // labelled codes in ascending order.
    std::vector<ValueLabel> labels;
    // Text: the first text cell as the file has it and the file row it stands on (from 1, as
    // the import's messages count rows), so a message can point at it.
    std::string firstText;
    std::int64_t firstTextRow = 0;
};

class DataSet {
  public:
    // What a reader fills in before the set is made. `facts` is empty when every variable holds
    // plain numbers, otherwise one entry per variable.
    struct Contents {
        DataMatrix matrix;
        std::int32_t cases = 0;
        std::int32_t variables = 0;
        std::vector<std::string> names;
        std::vector<VariableFacts> facts;
    };

    // No data at all: no matrix, no cases, no variables.
    DataSet() : DataSet(Contents{}) {}
    explicit DataSet(Contents contents)
        : m_cases(contents.cases),
          m_variables(contents.variables),
          m_stored(std::make_shared<const Contents>(std::move(contents))) {}

    const DataMatrix& matrix() const { return m_stored->matrix; }
    std::int32_t cases() const { return m_cases; }
    std::int32_t variables() const { return m_variables; }
    const std::vector<std::string>& names() const { return m_stored->names; }
    bool hasNames() const { return !m_stored->names.empty(); }
    // What the import detected the file to be, for the summary ("semicolon-delimited text,
    // decimal comma"); empty when the user chose how to read it.
    const std::string& readAs() const { return m_readAs; }
    DataSource source() const { return m_source; }
    // The same set, said to have been read as `what` from a file of family `source`. Shares the
    // matrix rather than copying it.
    DataSet describedAs(std::string what, DataSource source = DataSource::TextFile) const {
        DataSet described(*this);
        described.m_readAs = std::move(what);
        described.m_source = source;
        return described;
    }
    // The name of variable v (from 1), empty when it has none.
    const std::string& name(std::int32_t v) const { return VariableName(names(), v); }

    // Variable v (from 1): its kind and labels; plain numbers for one the reader said nothing of.
    const VariableFacts& facts(std::int32_t v) const {
        static const VariableFacts plain;
        const auto& all = m_stored->facts;
        return v >= 1 && static_cast<std::size_t>(v) <= all.size() ? all[v - 1] : plain;
    }
    bool isText(std::int32_t v) const { return facts(v).kind == VariableKind::Text; }
    bool hasLabels(std::int32_t v) const { return !facts(v).labels.empty(); }
    // Whether any variable carries labels, so that reports of plain data stay as they were.
    bool anyLabels() const {
        const auto& all = m_stored->facts;
        return std::any_of(all.begin(), all.end(),
                           [](const VariableFacts& f) { return !f.labels.empty(); });
    }

    // The label of `code` in variable v, none when the code has no label.
    const std::string* labelOf(std::int32_t v, float code) const {
        const VariableFacts& f = facts(v);
        if (f.kind == VariableKind::Text) {
            const auto i = static_cast<std::int64_t>(code);
            if (static_cast<float>(i) != code || i < 1 || i > std::ssize(f.labels)) return nullptr;
            return &f.labels[static_cast<std::size_t>(i - 1)].text;
        }
        const auto at = std::lower_bound(f.labels.begin(), f.labels.end(), code,
                                         [](const ValueLabel& l, float c) { return l.code < c; });
        return at != f.labels.end() && at->code == code ? &at->text : nullptr;
    }
    // The code whose label is exactly `text` in variable v, none when no label reads so.
    std::optional<float> codeOf(std::int32_t v, std::string_view text) const {
        for (const ValueLabel& l : facts(v).labels)
            if (l.text == text) return l.code;
        return std::nullopt;
    }

    // The same matrix and names, read as having no cases and no variables: what an import
    // that ended before reading a file leaves. Shares the matrix rather than copying it.
    DataSet readAsEmpty() const {
        DataSet empty(*this);
        empty.m_cases = 0;
        empty.m_variables = 0;
        return empty;
    }

  private:
    // The counts the set is read with, which readAsEmpty sets below the stored ones.
    std::int32_t m_cases;
    std::int32_t m_variables;
    std::shared_ptr<const Contents> m_stored;
    std::string m_readAs;
    DataSource m_source = DataSource::TextFile;
};

}  // namespace corvane
