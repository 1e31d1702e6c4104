// Graph window: 50 curves of 1001 points loaded point by point, and the chart replotted.
// Goal: a replot under 50 ms.
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>

#include "../support/bench_support.h"
#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "windows/plot/graph_window.h"

using namespace lumerad;

namespace {

struct Env {
    Session session;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    ActionRunner runner{messages};
    AppContext ctx{session, messages, dialogs, runner, nullptr, {}, {}};
    TfGraphs graphs{ctx};
};

constexpr int kCurves = 50;
constexpr int kPoints = 1001;

// A synchrotron-like spectrum per curve: rising as x^(1/3), falling exponentially.
void load(TfGraphs& g) {
    g.NewGraph(QStringLiteral("bench"));
    g.addGraph();
    for (int c = 0; c < kCurves; ++c) {
        g.NewCurve();
        g.addInfo(1, QStringLiteral("curve"));
        const double scale = 1e13 * (1 + 0.05 * c);
        for (int i = 0; i < kPoints; ++i) {
            const double x = 10 + 100.0 * i;
            g.LoadData(c % 2 ? 255 : 16711680, x, scale * std::cbrt(x / 20000) * std::exp(-x / 30000));
        }
    }
}

void BM_LoadFiftyCurves(benchmark::State& state) {
    Env env;
    for (auto _ : state) {
        load(env.graphs);
        benchmark::DoNotOptimize(env.graphs.CurveCount());
    }
    state.SetItemsProcessed(state.iterations() * kCurves * kPoints);
}
BENCHMARK(BM_LoadFiftyCurves)->Unit(benchmark::kMillisecond);

void replotBench(benchmark::State& state, bool logAxes) {
    Env env;
    TfGraphs& g = env.graphs;
    g.resize(981, 658);
    g.show();
    load(g);
    if (logAxes) {
        g.findChild<QRadioButton*>(QStringLiteral("RBxLog"))->setChecked(true);
        g.findChild<QRadioButton*>(QStringLiteral("RByLog"))->setChecked(true);
    }
    env.runner.run([&] { g.formActivate(); });
    QCoreApplication::processEvents();
    for (auto _ : state) g.findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["replot_ms"] =
        benchmark::Counter(g.findChild<QCustomPlot*>()->replotTime(false), benchmark::Counter::kAvgThreads);
}

void BM_ReplotLinear(benchmark::State& state) { replotBench(state, false); }
void BM_ReplotLogarithmic(benchmark::State& state) { replotBench(state, true); }
BENCHMARK(BM_ReplotLinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReplotLogarithmic)->Unit(benchmark::kMillisecond);

void BM_UpdateAndReplot(benchmark::State& state) {
    Env env;
    TfGraphs& g = env.graphs;
    g.resize(981, 658);
    g.show();
    load(g);
    for (auto _ : state) {
        env.runner.run([&] { g.formActivate(); });
        g.findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_UpdateAndReplot)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return lumerad::bench::runWithWidgets(argc, argv); }
