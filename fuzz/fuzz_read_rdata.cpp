// ReadRData on arbitrary bytes: the first byte picks the data frame asked for (the default, by
// number, or by a name), the rest is the file, R's serialization as unpacked (the seeds are the
// fixtures of tests/data/rdata unpacked). A success is a whole, consistent data set; a failure
// says why. Nothing is allocated from a count the file merely claims, and no nesting overflows
// the stack: the run's memory limit and the sanitizers catch a reader that does.
#include <cmath>
#include <cstdint>
#include <string>

#include "FuzzFiles.h"
#include "ReaderChecks.h"
#include "common/Single.h"
#include "data/TextColumn.h"
#include "data/formats/rdata/ReadRData.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const SheetChoice choices[] = {{}, {"", 2}, {"trial", 0}};
    const std::string path =
        WriteFuzzFile("data.rds", reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto r = ReadRData(path, choices[data[0] % 3]);
    if (r) {
        const DataSet& d = r.value().data;
        FUZZ_CHECK(d.cases() >= 0 && d.variables() >= 1);
        FUZZ_CHECK(d.matrix().rows() == d.cases() && d.matrix().storedColumns() == d.variables());
        FUZZ_CHECK(d.names().size() == static_cast<std::size_t>(d.variables()));
        FUZZ_CHECK(!r.value().workspace ||
                   (r.value().number >= 1 && r.value().number <= r.value().count));
        for (std::int32_t v = 1; v <= d.variables(); ++v) {
            const VariableFacts& f = d.facts(v);
            for (std::int32_t c = 1; c <= d.cases(); ++c) {
                const float cell = d.matrix()(c, v);
                FUZZ_CHECK(std::isfinite(cell));
                if (f.kind == VariableKind::Text && !IsMissing(cell))
                    FUZZ_CHECK(d.labelOf(v, cell) != nullptr);
            }
            for (const ValueLabel& l : f.labels) FUZZ_CHECK(TextColumn::Admits(l.text));
        }
    } else {
        FUZZ_CHECK(IsReaderFailure(r.error().kind));
        FUZZ_CHECK(!ImportErrorText(r.error(), path).empty());
    }
    const auto listed = ListRDataFrames(path);
    if (listed)
        for (const SheetInfo& s : listed.value()) FUZZ_CHECK(s.rows >= 1 && s.columns >= 0);
    return 0;
}
