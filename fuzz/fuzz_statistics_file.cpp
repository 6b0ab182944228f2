// ReadStatisticsFile on arbitrary bytes: the first byte picks the format the rest is read as,
// so every ReadStat parser sees every input. A success is a whole, consistent data set; a
// failure says why (a string holding a control character is an invalid entry). Either way nothing
// is allocated from a count the file merely claims: the run's memory limit catches a reader that
// does.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "ReaderChecks.h"
#include "common/Single.h"
#include "data/TextColumn.h"
#include "data/formats/stats/ReadStatisticsFile.h"

using namespace corvane;

namespace {

constexpr StatFileKind kKinds[] = {StatFileKind::SpssData, StatFileKind::SpssPortable,
                                   StatFileKind::Stata, StatFileKind::SasData,
                                   StatFileKind::SasTransport};

void CheckSuccess(const DataSet& d) {
    FUZZ_CHECK(d.cases() >= 0 && d.variables() >= 0);
    FUZZ_CHECK(d.variables() <= DataMatrix::kMaxVariables);
    FUZZ_CHECK(d.matrix().allocated() && d.matrix().rows() == d.cases());
    FUZZ_CHECK(d.matrix().storedColumns() == d.variables());
    FUZZ_CHECK(d.names().size() == static_cast<std::size_t>(d.variables()));
    for (std::int32_t v = 1; v <= d.variables(); ++v) {
        const VariableFacts& f = d.facts(v);
        if (f.kind == VariableKind::LabelledNumbers) {
            FUZZ_CHECK(!f.labels.empty());
            FUZZ_CHECK(std::is_sorted(f.labels.begin(), f.labels.end(),
                                      [](auto& a, auto& b) { return a.code <= b.code; }) ||
                       f.labels.size() == 1);
        }
        for (std::int32_t c = 1; c <= d.cases(); ++c) {
            const float cell = d.matrix()(c, v);
            FUZZ_CHECK(std::isfinite(cell));
            if (f.kind == VariableKind::Text && !IsMissing(cell))
                FUZZ_CHECK(d.labelOf(v, cell) != nullptr);
        }
        if (f.kind == VariableKind::Text && !f.labels.empty())
            FUZZ_CHECK(f.firstText == f.labels.front().text && f.firstTextRow >= 2);
        // No label holds a control character: a string that does is an invalid entry.
        if (f.kind == VariableKind::Text)
            for (const ValueLabel& l : f.labels) FUZZ_CHECK(TextColumn::Admits(l.text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const StatFileKind kind = kKinds[data[0] % std::size(kKinds)];
    const std::string path =
        WriteFuzzFile("data.stat", reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto r = ReadStatisticsFile(path, kind);
    if (r) {
        CheckSuccess(r.value());
    } else {
        using Kind = ImportError::Kind;
        const Kind k = r.error().kind;
        FUZZ_CHECK(IsReaderFailure(k));
        if (k == Kind::InvalidEntry) FUZZ_CHECK(r.error().row >= 2 && r.error().column >= 1);
        FUZZ_CHECK(!ImportErrorText(r.error(), path).empty());
    }
    return 0;
}
