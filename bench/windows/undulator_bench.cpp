// Undulator line list and tuning scans.
// Goals: the list of harmonics 1..29 under 0.1 ms; a scan of 15 harmonics x 101 points
// computed under 1 ms, computed and plotted under 20 ms.
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <cmath>

#include "../support/bench_support.h"
#include "core/numerics/messages.h"
#include "core/spectra/undulator_lines.h"
#include "core/state/session.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "windows/plot/graph_window.h"

using namespace lumerad;

namespace {

// A 3 GeV ring and a 20 mm in-vacuum hybrid undulator of 100 periods at a 6 mm gap.
struct World {
    Session s;
    RecordingMessages messages;
    LineListState list;
    World() {
        CurrentBeam& b = s.beam;
        b.BeamName = "bench ring";
        b.BeamEnergy = 3.0;
        b.BeamGamma = 3e9 / 511003.0;
        b.BeamCurrent = 0.3;
        b.EnergySpread = 0.001;
        b.EmitX = 2.7e-9;
        b.SigXb = 170e-6;
        b.SigYb = 7e-6;
        b.SigXp = 16e-6;
        b.SigYp = 1.2e-6;
        MagnetState& m = s.magnet;
        m.SrcName = "U20";
        m.MagType = "PM";
        m.PermMag = "hybrid";
        m.RemnField = 3.33;
        m.PerLength = 0.02;
        m.NPoles = 200;
        m.NPeriods = 100;
        m.DevLength = 2.0;
        const double x = 0.3;
        m.BField = 3.33 * std::exp(-x * (5.47 - 1.8 * x));
        m.KValue = 93.44 * m.BField * m.PerLength;
        s.undulator.FundWaveLen =
            m.PerLength / (2 * b.BeamGamma * b.BeamGamma) * (1 + m.KValue * m.KValue / 2);
        s.undulator.FundPhotEn = 12394 / (s.undulator.FundWaveLen * 1e10);
    }
    bool listAll(int quantity) {
        LineListResult r;
        return LineListCalculate({"0.1", "1", "29", quantity}, s.beam, s.magnet, s.undulator, s.RelBandWidth,
                                 list, messages, r);
    }
};

TuningScanInputs gapScan() {
    TuningScanInputs in;
    in.kind = ScanKind::Gap;
    in.edGapmin = "5";
    in.edGapmax = "20";
    in.quantity = kLineBrightness;
    return in;
}

void BM_LineList1to29(benchmark::State& state) {
    World w;
    for (auto _ : state) benchmark::DoNotOptimize(w.listAll(kLineBrightness));
}
BENCHMARK(BM_LineList1to29)->Unit(benchmark::kMicrosecond);

void BM_TuningScanPoint(benchmark::State& state) {
    World w;
    TuningScanContext c;
    c.kind = ScanKind::Gap;
    c.quantity = kLineBrightness;
    c.t = w.s.magnet.PerLength / (2 * w.s.beam.BeamGamma * w.s.beam.BeamGamma);
    c.relBandWidth = 0.001;
    c.beam = &w.s.beam;
    MagnetState m = w.s.magnet;
    for (auto _ : state) benchmark::DoNotOptimize(tuningScanPoint(c, 15, 7.5, m, w.messages));
}
BENCHMARK(BM_TuningScanPoint)->Unit(benchmark::kNanosecond);

void BM_TuningScan15x101(benchmark::State& state) {
    World w;
    w.listAll(kLineBrightness);
    for (auto _ : state)
        benchmark::DoNotOptimize(
            TuningScanCalculate(gapScan(), w.list, w.s.beam, w.s.magnet, 0.001, w.messages));
    state.SetItemsProcessed(state.iterations() * 15 * 101);
}
BENCHMARK(BM_TuningScan15x101)->Unit(benchmark::kMillisecond);

// Computed, handed to the graph window curve by curve, axes fitted and the chart replotted.
void BM_TuningScan15x101Plotted(benchmark::State& state) {
    World w;
    w.listAll(kLineBrightness);
    ScriptedDialogs dialogs;
    ActionRunner runner{w.messages};
    AppContext ctx{w.s, w.messages, dialogs, runner, nullptr, {}, {}};
    TfGraphs g{ctx};
    g.resize(981, 658);
    g.show();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        const TuningScanResult r =
            TuningScanCalculate(gapScan(), w.list, w.s.beam, w.s.magnet, 0.001, w.messages);
        bool first = true;
        for (const TuningCurve& c : r.curves) {
            if (first)
                g.replaceGraph();
            else
                g.addGraph();
            first = false;
            g.NewCurve();
            for (const auto& [line, t] : c.info) g.addInfo(line, QString::fromStdString(t));
            for (size_t j = 0; j < c.x.size(); ++j) g.LoadData(255, c.x[j], c.y[j]);
            g.XAxis(QString::fromStdString(r.xCaption));
            g.YAxis(QString::fromStdString(r.yCaption));
        }
        runner.run([&] { g.formActivate(); });
        g.findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    }
}
BENCHMARK(BM_TuningScan15x101Plotted)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return lumerad::bench::runWithWidgets(argc, argv); }
