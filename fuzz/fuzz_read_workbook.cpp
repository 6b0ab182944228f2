// ReadWorkbookBytes on arbitrary bytes, read as a zipped .xlsx or .ods. Every input ends in a
// data set or a message; a data set holds only what its cells can be: names for each variable
// or none, numbers or the missing code in plain columns, label codes or missing in text ones.
#include <cmath>
#include <cstdint>
#include <string_view>

#include "FuzzFiles.h"
#include "common/Single.h"
#include "data/formats/sheets/Workbook.h"

using namespace corvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const SheetChoice& choice : {SheetChoice{}, SheetChoice{"", 2}}) {
        const auto r = ReadWorkbookBytes(bytes, choice);
        if (!r) {
            FUZZ_CHECK(r.error().kind != ImportError::Kind::Unreadable ||
                       !r.error().reason.empty());
            continue;
        }
        const DataSet& d = r.value();
        FUZZ_CHECK(d.cases() >= 0 && d.variables() >= 1);
        FUZZ_CHECK(d.variables() <= DataMatrix::kMaxVariables);
        FUZZ_CHECK(!d.hasNames() || static_cast<std::int32_t>(d.names().size()) == d.variables());
        for (std::int32_t v = 1; v <= d.variables(); ++v) {
            const auto labels = static_cast<float>(d.facts(v).labels.size());
            for (std::int32_t c = 1; c <= d.cases(); ++c) {
                const float x = d.matrix()(c, v);
                FUZZ_CHECK(std::isfinite(x));
                if (d.isText(v))
                    FUZZ_CHECK(IsMissing(x) || (x >= 1 && x <= labels && x == std::floor(x)));
            }
        }
    }
    return 0;
}
