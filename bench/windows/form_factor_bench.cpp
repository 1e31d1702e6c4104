// The form factor over 1001 wavenumbers: the scan alone (goal under 0.1 ms), and the scan
// of the form-factor window computed, plotted in replace mode and the chart redrawn (goal
// under 10 ms). Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/form_factor_bench
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QAbstractButton>
#include <QApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

#include "../support/bench_support.h"
#include "app/program.h"
#include "app/start_window.h"
#include "core/coherent/form_factor.h"
#include "core/numerics/messages.h"
#include "ui/data_widgets.h"
#include "ui/dialogs.h"
#include "windows/catalogue/single_pass_beam_window.h"
#include "windows/coherent/form_factor_window.h"
#include "windows/plot/graph_window.h"

using namespace lumerad;

namespace {

constexpr double kLength = 200 * 299792458.0 * 1e-15;  // 200 fs

void BM_FormFactorScan1001(benchmark::State& state) {
    const BunchShape shape = state.range(0) ? BunchShape::Gaussian : BunchShape::Uniform;
    // the Gaussian bunch of 60 um stays above 1e-6 up to 247 1/cm: 1001 points from 0 to 200
    const double kMax = shape == BunchShape::Gaussian ? 200 : 1000;
    const double dk = kMax / 1000;
    int points = 0;
    for (auto _ : state) {
        const FormFactorPoints p = formFactorScan(shape, kLength, 0, kMax - dk / 2, dk);
        points = p.size();
        benchmark::DoNotOptimize(p.ff.data());
    }
    state.counters["points"] = points;
    state.SetItemsProcessed(state.iterations() * points);
}
BENCHMARK(BM_FormFactorScan1001)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// The window's "recalculate spectrum": single value, scan, curve, 1001 points, graph shown
// and redrawn.
void BM_WindowScanPlotted1001(benchmark::State& state) {
    QTemporaryDir dir;
    ProgramOptions o;
    o.catalogueFile = dir.filePath(QStringLiteral("bench.sqlite"));
    o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
    RecordingMessages m;
    ScriptedDialogs d;
    Program p(m, d, o);
    Windows& w = p.windows();
    w.start->show();
    w.start->findChild<QAbstractButton*>(QStringLiteral("BtSPB"))->click();
    w.spbeam->findChild<QAbstractButton*>(QStringLiteral("bbAccept"))->click();
    w.start->findChild<QAbstractButton*>(QStringLiteral("FF"))->click();
    TfFormFctr* ff = w.formFctr;
    ff->findChild<QRadioButton*>(QStringLiteral("isuniform"))->click();
    ff->findChild<QRadioButton*>(QStringLiteral("rbReplace"))->click();
    ff->findChild<QLineEdit*>(QStringLiteral("Emaxwvn"))->setText(QStringLiteral("999.5"));
    w.graphs->resize(981, 658);
    int points = 0;
    for (auto _ : state) {
        ff->findChild<QAbstractButton*>(QStringLiteral("CalcSpectrum"))->click();
        w.graphs->findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
        points = int(w.graphs->model().points(w.graphs->model().CurrentCurve).size());
    }
    if (!m.log.empty()) state.SkipWithError(m.log.front().text.c_str());
    state.counters["points"] = points;
}
BENCHMARK(BM_WindowScanPlotted1001)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return lumerad::bench::runWithWidgets(argc, argv); }
