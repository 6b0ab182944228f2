// Benchmarks of the core: the bootstrap against the bare loop that bounds it, the import, and
// the descriptives. The data is generated from a fixed seed (BenchData.h).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <vector>

#include "BenchData.h"
#include "analysis/Bootstrap.h"
#include "analysis/BootstrapTrials.h"
#include "analysis/Descriptives.h"
#include "analysis/DrawCounts.h"
#include "analysis/GroupResampler.h"
#include "analysis/Jackknife.h"
#include "analysis/render/DescriptivesReport.h"
#include "data/import/ImportDataFile.h"

using namespace corvane;

namespace {

constexpr std::int32_t kTrials = 2000;

BootstrapSettings Settings() {
    BootstrapSettings s;
    s.trials = kTrials;
    s.level = 0.95f;
    s.chosenGroup = 1;
    return s;
}

// The statistics of one resample as any single sample's: sorted, then summed.
Checked SortedStats(const GroupSample& sample, GroupStats& out, std::vector<float>& sorted) {
    sorted.assign(sample.begin(), sample.end());
    std::stable_sort(sorted.begin(), sorted.end());
    return ComputeGroupStatsPresorted(sample.data(), sorted.data(),
                                      static_cast<std::int64_t>(sample.size()), out);
}

// On one thread, to compare with the floor loop, which runs on one.
void BM_RunBootstrap(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const GroupPair groups = bench::NormalGroups(n);
    RunOptions one;
    one.threads = 1;
    for (auto _ : state) {
        auto r = RunBootstrap(groups.group1, groups.group2, Settings(), bench::kSeed, {}, one);
        if (!r) state.SkipWithError("the bootstrap failed");
        benchmark::DoNotOptimize(r);
    }
    state.counters["ns_per_draw"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kTrials * 2.0 * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The floor: per trial and group, only the draws from the trial's stream and the count of each
// drawn position of the sorted copy, with the bootstrap's own drawing and counting. A bootstrap
// that counts draws rather than sorting each resample must do at least this much.
void BM_BootstrapFloor(benchmark::State& state) {
    const auto n = static_cast<std::size_t>(state.range(0));
    DrawCounts counts1(n), counts2(n);
    for (auto _ : state) {
        for (std::int32_t t = 1; t <= kTrials; ++t) {
            UniformGenerator rng =
                UniformGenerator::ForStream(bench::kSeed, static_cast<std::uint64_t>(t));
            counts1.draw(rng);
            counts2.draw(rng);
            benchmark::DoNotOptimize(counts1.low());
            benchmark::DoNotOptimize(counts2.low());
            benchmark::ClobberMemory();
            counts1.clear();
            counts2.clear();
        }
    }
    state.counters["ns_per_draw"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kTrials * 2.0 * n,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// For scale: the same trials with a library sort of each resample instead of the counting.
void BM_BootstrapSortPerTrial(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const GroupPair groups = bench::NormalGroups(n);
    UniformGenerator rng(bench::kSeed);
    std::vector<float> a(static_cast<std::size_t>(n)), sorted;
    const double dn = n;
    for (auto _ : state) {
        for (std::int32_t t = 1; t <= kTrials; ++t) {
            GroupStats s1, s2;
            for (auto* g : {&groups.group1, &groups.group2}) {
                for (float& v : a) {
                    auto p = static_cast<std::int32_t>(std::ceil(rng.next() * dn));
                    v = (*g)[static_cast<std::size_t>(std::clamp(p, 1, n) - 1)];
                }
                SortedStats(a, g == &groups.group1 ? s1 : s2, sorted);
            }
            EffectSizes e;
            ComputeEffectSizes(s1, s2, 1, e);
            benchmark::DoNotOptimize(e);
        }
    }
}

// One group's resamples, drawn and summed, 200 per iteration, on one group of n values spread
// evenly over K distinct values (1..K), drawn as positions (choice 0) or as the counts of the
// distinct values (choice 1): where the one overtakes the other sets the rule that chooses.
// Even shares are the counts' worst case: every count is small, drawn by inversion.
void BM_ResampleOneGroup(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    const auto distinct = static_cast<std::uint32_t>(state.range(1));
    GroupSample values(static_cast<std::size_t>(n));
    UniformGenerator pick(bench::kSeed);
    for (float& v : values) v = static_cast<float>(1 + pick.nextBits() % distinct);
    const GroupResampler group(
        GroupValues(values), state.range(2) == 0 ? DrawChoice::Positions : DrawChoice::ValueCounts);
    ResampleCounts counts = group.emptyCounts();
    constexpr int kResamples = 200;
    for (auto _ : state) {
        for (int t = 1; t <= kResamples; ++t) {
            UniformGenerator rng = UniformGenerator::ForStream(bench::kSeed, t);
            group.draw(rng, counts);
            GroupStats stats;
            group.resampleStats(counts, stats);
            benchmark::DoNotOptimize(stats);
        }
    }
    state.counters["s_per_resample"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * kResamples,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void ResampleGrid(benchmark::internal::Benchmark* b) {
    b->ArgNames({"n", "K", "counts"});
    for (std::int64_t n : {100, 1000, 100000}) {
        for (std::int64_t per : {128, 32, 16, 8, 4}) {
            if (n / per < 2) continue;
            for (std::int64_t choice : {0, 1}) b->Args({n, n / per, choice});
        }
        for (std::int64_t choice : {0, 1}) b->Args({n, 7, choice});
    }
}

// All T = 2000 trials on one thread, both groups of few distinct values (1,000,000 each), drawn
// as positions (choice 0) or as the counts of the distinct values (choice 1); shape 0 is a
// Likert item, shape 1 normal values rounded to two decimals (bench::Discrete).
void BM_TrialsOfFewValues(benchmark::State& state) {
    const GroupPair groups = bench::DiscreteGroups(
        1000000, state.range(0) == 0 ? bench::Discrete::Likert : bench::Discrete::Hundredths);
    const DrawChoice choice = state.range(1) == 0 ? DrawChoice::Positions : DrawChoice::ValueCounts;
    const GroupResampler g1(GroupValues(groups.group1), choice);
    const GroupResampler g2(GroupValues(groups.group2), choice);
    RunOptions one;
    one.threads = 1;
    for (auto _ : state) {
        auto r = RunTrials(g1, g2, bench::kSeed, kTrials, 1, {}, one);
        if (!r) state.SkipWithError("the trials failed");
        benchmark::DoNotOptimize(r);
    }
}

// Imports the file at `path` (empty: it could not be written) once per iteration.
void ImportEachIteration(benchmark::State& state, const std::string& path) {
    if (path.empty()) {
        state.SkipWithError("cannot write the data file");
        return;
    }
    for (auto _ : state) {
        auto set = ImportDataFile(path, ' ');
        if (!set) state.SkipWithError("the import failed");
        benchmark::DoNotOptimize(set);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

// BCa's extra work beside the trials: both groups' leave-one-out moments and the acceleration
// of both estimates, on n distinct values per group (the dearest case: K = n) and on values
// rounded to one decimal (K of a few dozen, as with scores).
void BM_JackknifeAcceleration(benchmark::State& state) {
    const auto n = static_cast<std::int32_t>(state.range(0));
    GroupPair groups = bench::NormalGroups(n);
    if (state.range(1) != 0) {
        for (GroupSample* g : {&groups.group1, &groups.group2}) {
            for (float& v : *g) v = std::round(v * 10.0f) / 10.0f;
        }
    }
    std::vector<float> scratch;
    GroupStats all1, all2;
    SortedStats(groups.group1, all1, scratch);
    SortedStats(groups.group2, all2, scratch);
    for (auto _ : state) {
        const std::vector<LeftOut> left1 = LeaveOneOut(groups.group1);
        const std::vector<LeftOut> left2 = LeaveOneOut(groups.group2);
        for (const EstimateDescription& e : kEstimates) {
            benchmark::DoNotOptimize(
                JackknifeAcceleration(e.formula, left1, left2, all1.exact, all2.exact, 1));
        }
    }
}

void BM_ImportDataFile(benchmark::State& state) {
    ImportEachIteration(
        state, bench::ImportFile(state.range(0), static_cast<std::int32_t>(state.range(1))));
}

// A table whose group column holds two words, against the same with the codes 1 and 2.
void BM_ImportGroupTable(benchmark::State& state) {
    ImportEachIteration(state, bench::GroupTableFile(state.range(0), 10, state.range(1) != 0));
}

void BM_Descriptives(benchmark::State& state) {
    const auto cases = static_cast<std::int32_t>(state.range(0));
    const DataMatrix data = bench::NormalMatrix(cases, 10);
    std::vector<std::int32_t> vars(10);
    std::iota(vars.begin(), vars.end(), 1);
    for (auto _ : state) {
        auto rows = ComputeDescriptives(data, cases, vars);
        if (!rows) state.SkipWithError("the descriptives failed");
        benchmark::DoNotOptimize(BuildDescriptivesReport(rows.value()));
    }
}

}  // namespace

BENCHMARK(BM_RunBootstrap)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RunBootstrap)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JackknifeAcceleration)
    ->Args({100000, 0})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BootstrapFloor)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BootstrapFloor)->Arg(100000)->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ResampleOneGroup)->Apply(ResampleGrid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TrialsOfFewValues)
    ->ArgNames({"shape", "counts"})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BootstrapSortPerTrial)
    ->Arg(1000)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportGroupTable)
    ->ArgNames({"cases", "named"})
    ->Args({1000000, 0})
    ->Args({1000000, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ImportDataFile)
    ->Args({1000000, 10})
    ->Args({100000, 100})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Descriptives)->Arg(1000000)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
