// The bending-magnet spectrum: the default 161-point spectrum computed and plotted through
// the spectrum window, and a 1001-point spectrum, computed alone and computed and plotted;
// the 1001-point spectrum of a wiggler computed, and a 1001-point spectrum file written.
// Goals: a 1001-point spectrum (bending magnet or wiggler) computed under 10 us, its file
// written under 0.5 ms.
#include <benchmark/benchmark.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>
#include <charconv>

#include "../support/bench_support.h"
#include "core/numerics/data_file.h"
#include "core/numerics/messages.h"
#include "core/numerics/tabulated.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/state/session.h"
#include "qcustomplot.h"
#include "ui/action_runner.h"
#include "ui/app_context.h"
#include "ui/dialogs.h"
#include "windows/plot/graph_window.h"
#include "windows/spectra/synchrotron_spectrum_window.h"

using namespace lumerad;

namespace {

struct World {
    Session session;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    ActionRunner runner{messages};
    AppContext ctx{session, messages, dialogs, runner, nullptr, {}, {}};
    TfGraphs* graphs;
    TfSynSpectrum* spectrum;
    World() {
        session.tab.loadFile(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
        session.beam.BeamName = "bench ring";
        session.beam.BeamEnergy = 3.0;
        session.beam.BeamGamma = 3.0e9 / 511003.0;
        session.beam.BeamCurrent = 0.3;
        session.beam.SigXb = 120e-6;
        session.beam.SigYb = 25e-6;
        session.magnet.BField = 1.4;
        session.magnet.NPoles = 1;
        session.flags.BendMagMode = true;
        graphs = new TfGraphs(ctx);
        spectrum = new TfSynSpectrum(ctx);
        ctx.setWindow(WindowId::Graphs, graphs);
        ctx.setWindow(WindowId::SynchrotronSpectrum, spectrum);
        // each spectrum replaces the last one, so the chart does not fill up
        spectrum->findChild<QRadioButton*>("rbReplace")->setChecked(true);
    }
};

World& world() {
    static World* w = new World;
    return *w;
}

// The energy after 1000 steps of 0.75 %, a little above, so the scan has 1001 points.
std::string energyFor1001() {
    double e = 10.0;
    for (int k = 0; k < 1000; ++k) e *= 1.0075;
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, e * (1 + 1e-9));
    return std::string(buf, r.ptr);
}

void setScan(const std::string& emax, const char* step) {
    World& w = world();
    w.spectrum->findChild<QLineEdit*>("e_phmax")->setText(QString::fromStdString(emax));
    w.spectrum->findChild<QLineEdit*>("De_ph")->setText(QString::fromLatin1(step));
}

void plotted(benchmark::State& state, const std::string& emax, const char* step, int points) {
    World& w = world();
    setScan(emax, step);
    for (auto _ : state) {
        w.spectrum->findChild<QAbstractButton*>(QStringLiteral("bbShowGraph"))->click();
        w.graphs->formActivate();
        w.graphs->findChild<QCustomPlot*>()->replot(QCustomPlot::rpImmediateRefresh);
    }
    if (!w.messages.log.empty()) state.SkipWithError(w.messages.log.front().text.c_str());
    state.counters["points"] = points;
}

void computed(benchmark::State& state, const std::string& emax, const char* step, int points) {
    World& w = world();
    RecordingMessages m;
    const EnergyScan scan = energyScanSettings("10.0", emax, step, m);
    const SpectrumFactors k = spectrumFactors(w.session.beam, 1, 0.001, 0.0);
    const double ec = 665.0 * 9 * 1.4;
    for (auto _ : state) {
        SpectrumPoints p = energyScanPoints(kAngularFlux, false, w.session.tab, scan, ec, w.session.beam, k);
        benchmark::DoNotOptimize(p.value.data());
    }
    state.counters["points"] = points;
}

// A 1.6 T wiggler of 12 poles on the same ring, seen on its axis.
void BM_WigglerSpectrum1001Computed(benchmark::State& state) {
    World& w = world();
    RecordingMessages m;
    const EnergyScan scan = energyScanSettings("10.0", energyFor1001(), "0.75", m);
    const SpectrumFactors k = spectrumFactors(w.session.beam, 12, 0.001, 0.0);
    const double ec = spectrumCritEnergy(3.0, 1.6);
    for (auto _ : state) {
        SpectrumPoints p = energyScanPoints(kAngularFlux, true, w.session.tab, scan, ec, w.session.beam, k);
        benchmark::DoNotOptimize(p.value.data());
    }
    state.counters["points"] = 1001;
}

// The file as the spectrum window writes it: the header and one line per point, opened,
// written and closed.
void BM_SpectrumFile1001Written(benchmark::State& state) {
    World& w = world();
    RecordingMessages m;
    const EnergyScan scan = energyScanSettings("10.0", energyFor1001(), "0.75", m);
    const SpectrumFactors k = spectrumFactors(w.session.beam, 1, 0.001, 0.0);
    const SpectrumPoints pts =
        energyScanPoints(kAngularFlux, false, w.session.tab, scan, 665.0 * 9 * 1.4, w.session.beam, k);
    QTemporaryDir dir;
    const std::string path = dir.filePath(QStringLiteral("spectrum.txt")).toStdString();
    for (auto _ : state) {
        DataFile file;
        file.open(path);
        file.write(spectrumFileHeader(kAngularFlux, false));
        for (int i = 0; i < pts.size(); ++i) file.write(spectrumFilePointLine(kAngularFlux, pts, i));
        if (!file.close()) state.SkipWithError("the spectrum file was not written");
    }
    state.counters["points"] = pts.size();
}

void BM_DefaultSpectrumComputed(benchmark::State& s) { computed(s, "25000.0", "5.0", 161); }
void BM_DefaultSpectrumComputedAndPlotted(benchmark::State& s) { plotted(s, "25000.0", "5.0", 161); }
void BM_Spectrum1001Computed(benchmark::State& s) { computed(s, energyFor1001(), "0.75", 1001); }
void BM_Spectrum1001ComputedAndPlotted(benchmark::State& s) { plotted(s, energyFor1001(), "0.75", 1001); }

}  // namespace

BENCHMARK(BM_DefaultSpectrumComputed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DefaultSpectrumComputedAndPlotted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spectrum1001Computed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Spectrum1001ComputedAndPlotted)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WigglerSpectrum1001Computed)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SpectrumFile1001Written)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return lumerad::bench::runWithWidgets(argc, argv); }
