// Benchmarks of the output pane (offscreen): a thousand effect-size reports in a row, and one
// report appended to an empty pane and to a pane that already holds 10 MB of text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QString>
#include <memory>
#include <utility>

#include "BenchData.h"
#include "OffscreenBenchMain.h"
#include "analysis/Bootstrap.h"
#include "analysis/EffectSizeAnalysis.h"
#include "analysis/render/EffectSizeReport.h"
#include "gui/output/OutputPane.h"

using namespace corvane;

namespace {

// A real effect-size report, as the analysis window appends it.
const QString& Report() {
    static const QString report = [] {
        const GroupPair groups = bench::NormalGroups(100);
        BootstrapSettings s;
        auto r = RunBootstrap(groups.group1, groups.group2, s, bench::kSeed);
        if (!r) return QString(1000, QLatin1Char('x'));
        EffectSizeOutcome outcome;
        outcome.settings = s;
        outcome.result = std::move(r).value();
        return QString::fromStdString(BuildReport(outcome));
    }();
    return report;
}

std::unique_ptr<OutputPane> ShownPane() {
    auto pane = std::make_unique<OutputPane>();
    pane->resize(900, 600);
    pane->show();
    QApplication::processEvents();
    return pane;
}

void BM_PaneAppend1000Reports(benchmark::State& state) {
    const QString& report = Report();
    for (auto _ : state) {
        state.PauseTiming();
        auto pane = ShownPane();
        state.ResumeTiming();
        for (int i = 0; i < 1000; ++i) pane->appendReport(report);
        QApplication::processEvents();  // the repaint that follows
        state.PauseTiming();
        pane.reset();
        state.ResumeTiming();
    }
    state.counters["report_bytes"] = static_cast<double>(report.size());
}

// One append to a pane holding range(0) MB; with range(1) = 1 the repaint is included.
void BM_PaneAppendOneReport(benchmark::State& state) {
    const QString& report = Report();
    auto pane = ShownPane();
    const qsizetype target = state.range(0) * 1000 * 1000;
    if (target > 0) {
        QString text;
        text.reserve(target + report.size());
        while (text.size() < target) text += report;
        pane->setTextCrlf(text);
        QApplication::processEvents();
    }
    const bool repaint = state.range(1) != 0;
    for (auto _ : state) {
        pane->appendReport(report);
        if (repaint) QApplication::processEvents();
    }
    state.counters["pane_MB"] = static_cast<double>(state.range(0));
}

}  // namespace

BENCHMARK(BM_PaneAppend1000Reports)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaneAppendOneReport)
    ->Args({0, 0})
    ->Args({10, 0})
    ->Args({0, 1})
    ->Args({10, 1})
    ->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return RunOffscreenBenchmarks(argc, argv); }
