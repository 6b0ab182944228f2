#pragma once

#include <cmath>
#include <cstdint>

#include "FuzzFiles.h"
#include "common/Result.h"
#include "common/Single.h"
#include "data/DataSet.h"
#include "data/ImportError.h"

// A workbook read ends in a message, or in a data set that holds only what its cells can be:
// names for each variable or none, numbers or the missing code in plain columns, label codes or
// missing in text ones.
inline void CheckWorkbookRead(const corvane::Result<corvane::DataSet, corvane::ImportError>& r) {
    using namespace corvane;
    if (!r) {
        FUZZ_CHECK(r.error().kind != ImportError::Kind::Unreadable || !r.error().reason.empty());
        return;
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
