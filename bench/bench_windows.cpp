// Benchmarks of the windows (offscreen): opening the effect-size and descriptives windows over a
// wide data set, counting a grouping variable's values over a million cases, and opening the
// data table over millions of cases and scrolling it to the last.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTableView>
#include <memory>
#include <string>

#include "OffscreenBenchMain.h"
#include "data/DataSet.h"
#include "gui/analysis/GroupValues.h"
#include "gui/analysis/frmCorvane.h"
#include "gui/analysis/frmDescriptives.h"
#include "gui/data/frmDataTable.h"

using namespace corvane;

namespace {

// `variables` named variables over a few cases, every tenth one text.
std::shared_ptr<const DataSet> WideSet(std::int32_t variables) {
    constexpr std::int32_t cases = 5;
    DataSet::Contents c{DataMatrix(cases, variables), cases, variables, {}, {}};
    c.facts.resize(static_cast<std::size_t>(variables));
    for (std::int32_t v = 1; v <= variables; ++v) {
        c.names.push_back("item" + std::to_string(v));
        if (v % 10 == 0) c.facts[v - 1] = {VariableKind::Text, {{1, "yes"}, {2, "no"}}, "yes", 2};
        for (std::int32_t row = 1; row <= cases; ++row) c.matrix(row, v) = 1.0f + (row + v) % 2;
    }
    return std::make_shared<const DataSet>(std::move(c));
}

// Built, shown and painted once, as a menu's opening of a window does; then let go, as the
// close box or an import does.
template <class Window>
void BM_WindowOpens(benchmark::State& state) {
    const auto data = WideSet(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        auto w = std::make_unique<Window>(data, nullptr);
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["variables"] = static_cast<double>(state.range(0));
}

template <class Window>
void BM_WindowCloses(benchmark::State& state) {
    const auto data = WideSet(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        auto w = std::make_unique<Window>(data, nullptr);
        w->show();
        QApplication::processEvents();
        state.ResumeTiming();
        w.reset();
    }
    state.counters["variables"] = static_cast<double>(state.range(0));
}

// A million cases of a grouping variable: text with two labels, numbers taking 50 values, and
// numbers each different (given up after the 51st value).
void BM_GroupValues(benchmark::State& state) {
    constexpr std::int32_t cases = 1000000;
    const auto kind = state.range(0);
    DataSet::Contents c{DataMatrix(cases, 2), cases, 2, {}, {}};
    if (kind == 0) c.facts = {{VariableKind::Text, {{1, "control"}, {2, "treatment"}}, "", 0}, {}};
    for (std::int32_t row = 1; row <= cases; ++row) {
        const auto r = static_cast<std::uint32_t>(row) * 2654435761u;
        c.matrix(row, 1) = kind == 0   ? 1.0f + static_cast<float>(r >> 31)
                           : kind == 1 ? static_cast<float>(r % 50)
                                       : static_cast<float>(row);
    }
    const DataSet data(std::move(c));
    for (auto _ : state) benchmark::DoNotOptimize(GroupValuesOf(data, 1));
}

// `cases` cases of ten variables, the second one text with two labels.
std::shared_ptr<const DataSet> TallSet(std::int32_t cases) {
    DataSet::Contents c{DataMatrix(cases, 10), cases, 10, {}, {}};
    c.facts.resize(10);
    c.facts[1] = {VariableKind::Text, {{1, "control"}, {2, "treatment"}}, "control", 2};
    for (std::int32_t row = 1; row <= cases; ++row) {
        float* cells = c.matrix.rowData(row);
        for (int v = 0; v < 10; ++v) cells[v] = static_cast<float>((row * 7 + v) % 1000) / 8.0f;
        cells[1] = 1.0f + static_cast<float>(row % 2);
    }
    return std::make_shared<const DataSet>(std::move(c));
}

// The table made, shown and painted, as Data > Data Table opens it.
void BM_DataTableOpens(benchmark::State& state) {
    const auto data = TallSet(static_cast<std::int32_t>(state.range(0)));
    for (auto _ : state) {
        auto w = std::make_unique<frmDataTable>(data, nullptr);
        w->show();
        QApplication::processEvents();
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["cases"] = static_cast<double>(state.range(0));
}

// From the first case to the last in one move, painted there.
void BM_DataTableScrollsToTheEnd(benchmark::State& state) {
    const auto data = TallSet(static_cast<std::int32_t>(state.range(0)));
    frmDataTable w(data, nullptr);
    w.show();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        w.grdData->scrollToTop();
        QApplication::processEvents();
        state.ResumeTiming();
        w.grdData->scrollToBottom();
        QApplication::processEvents();
    }
    state.counters["cases"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(BM_DataTableOpens)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DataTableScrollsToTheEnd)->Arg(1000000)->Arg(10000000)->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_WindowOpens, frmCorvane)
    ->Arg(1000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_WindowOpens, frmDescriptives)
    ->Arg(1000)
    ->Arg(20000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_TEMPLATE(BM_WindowCloses, frmCorvane)->Arg(20000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GroupValues)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
