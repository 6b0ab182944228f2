#include "analysis/render/TrialValuesCsv.h"

#include "analysis/render/JsonText.h"
#include "common/Single.h"

namespace corvane {

std::string TrialValuesCsv(const BootstrapResult& result) {
    std::string out = "trial";
    for (const Estimate& e : result.estimates) out += std::string(",") + e.description().key;
    out += '\n';
    const std::size_t trials =
        result.estimates.empty() ? 0 : result.estimates.front().trials.size();
    out.reserve(out.size() + trials * (8 + 16 * result.estimates.size()));
    for (std::size_t i = 0; i < trials; ++i) {
        out += std::to_string(i + 1);
        for (const Estimate& e : result.estimates) {
            out += ',';
            if (!IsMissing(e.trials[i])) out += JsonNumber(e.trials[i]);
        }
        out += '\n';
    }
    return out;
}

}  // namespace corvane
