#include "cli/CliDistribution.h"

#include "cli/CliJson.h"
#include "common/Single.h"

namespace corvane::cli {

std::string TrialValuesCsv(const BootstrapResult& result) {
    auto field = [](float x) { return IsMissing(x) ? std::string() : JsonNumber(x); };
    std::string out = "trial,d,robust_d\n";
    out.reserve(out.size() + result.trialD.size() * 24);
    for (std::size_t i = 0; i < result.trialD.size(); ++i) {
        out += std::to_string(i + 1);
        out += ',';
        out += field(result.trialD[i]);
        out += ',';
        out += field(result.trialRobustD[i]);
        out += '\n';
    }
    return out;
}

std::string JsonHistogram(const BootstrapDistribution& distribution, int indent) {
    const auto& bins = distribution.bins();
    if (bins.empty()) return "[]";
    const std::string inner(static_cast<std::size_t>(indent + 2), ' ');
    std::string out = "[\n";
    for (std::size_t i = 0; i < bins.size(); ++i) {
        out += inner + "{\"lower\": " + JsonNumber(bins[i].lower) +
               ", \"upper\": " + JsonNumber(bins[i].upper) +
               ", \"count\": " + std::to_string(bins[i].count) + "}";
        out += i + 1 < bins.size() ? ",\n" : "\n";
    }
    return out + std::string(static_cast<std::size_t>(indent), ' ') + "]";
}

}  // namespace corvane::cli
