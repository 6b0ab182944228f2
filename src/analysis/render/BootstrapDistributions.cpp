#include "analysis/render/BootstrapDistributions.h"

#include "analysis/BootstrapChoices.h"
#include "common/NumberText.h"

namespace corvane {

namespace {

constexpr std::size_t kMaxPartBytes = 30;

// One part of a file name: characters no desktop refuses, runs of others one "_", a long one
// cut where a word ends.
std::string FileNamePart(const std::string& text, const std::string& otherwise) {
    std::string part;
    for (const char c : text) {
        // Whatever the locale: ASCII letters and digits, and every byte of a UTF-8 character.
        const auto u = static_cast<unsigned char>(c);
        const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                          (c >= '0' && c <= '9') || c == '-' || c == '.' || u >= 0x80;
        if (kept) {
            part += c;
        } else if (!part.empty() && part.back() != '_') {
            part += '_';
        }
    }
    if (part.size() > kMaxPartBytes) {
        // At the last word's end when there is one in the second half, else on a character.
        std::size_t end = kMaxPartBytes;
        const std::size_t word = part.find_last_of("_-.", end);
        if (word != std::string::npos && word >= kMaxPartBytes / 2) {
            end = word;
        } else {
            while (end > 0 && (static_cast<unsigned char>(part[end]) & 0xC0) == 0x80) --end;
        }
        part.resize(end);
    }
    while (!part.empty() && (part.back() == '_' || part.back() == '.')) part.pop_back();
    return part.empty() ? otherwise : part;
}

std::string FileStem(const EffectSizeSubject& s, const std::string& group1,
                     const std::string& group2) {
    auto variable = [](std::int32_t v, const std::string& name) {
        return FileNamePart(name.empty() ? "Var" + FormatInt(v) : name, "Var" + FormatInt(v));
    };
    return "bootstrap-" + variable(s.dependent, s.dependentName) + "-by-" +
           variable(s.grouping, s.groupingName) + "-" + FileNamePart(group1, "group1") + "-vs-" +
           FileNamePart(group2, "group2");
}

}  // namespace

BootstrapDistributions MakeBootstrapDistributions(const EffectSizeOutcome& outcome) {
    const EffectSizeSubject& s = outcome.subject;
    // The groups are named as the report names them.
    const ChosenGroups& g = s.groups;
    const std::string group1 = g.labelled ? g.label1 : FormatSingle(g.code1);
    const std::string group2 = g.labelled ? g.label2 : FormatSingle(g.code2);
    const std::string level = FormatInt(LevelPercent(outcome.settings.level)) + "% ";
    const std::string common = VariableCaption(s.dependent, s.dependentName) + " by " +
                               VariableCaption(s.grouping, s.groupingName) + ", groups " + group1 +
                               " and " + group2 + ", ";
    BootstrapDistributions out;
    out.fileStem = FileStem(s, group1, group2);
    for (const Estimate& e : outcome.result.estimates) {
        EstimateDistribution d;
        d.kind = e.kind;
        d.picture = BootstrapDistribution(e.trials, e.observed, e.interval);
        d.title = std::string(e.description().name) + ": " + common + FormatInt(d.picture.valid()) +
                  " of " + FormatInt(d.picture.attempted()) + " trials, " + level +
                  IntervalMethodTag(e.method) + "CI";
        out.estimates.push_back(std::move(d));
    }
    return out;
}

}  // namespace corvane
