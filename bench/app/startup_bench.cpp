// The parts of start-up: opening the seeded catalogue, and creating the catalogue module with
// every window as the program does before it shows the main window. Run offscreen:
//   QT_QPA_PLATFORM=offscreen build/bench/startup_bench
// The whole start-up from process start to the first painted main window is printed by
//   build/lumerad --startup-time
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTemporaryDir>

#include "../support/bench_support.h"
#include "app/program.h"
#include "app/start_window.h"
#include "core/numerics/messages.h"
#include "core/state/session.h"
#include "store/tsr_module.h"
#include "ui/dialogs.h"

namespace {

QString seededCatalogue() {
    static QTemporaryDir dir;
    static QString file = dir.filePath(QStringLiteral("bench.sqlite"));
    static bool seeded = false;
    if (!seeded) {
        lumerad::Session s;
        lumerad::RecordingMessages m;
        lumerad::TSRModule module(s, m, file);
        seeded = true;
    }
    return file;
}

void OpenCatalogue(benchmark::State& state) {
    const QString file = seededCatalogue();
    lumerad::Session s;
    lumerad::RecordingMessages m;
    for (auto _ : state) {
        lumerad::TSRModule module(s, m, file);
        benchmark::DoNotOptimize(module.CircBeam->rowCount());
    }
}
BENCHMARK(OpenCatalogue)->Unit(benchmark::kMillisecond);

void CreateProgramAndShowMainWindow(benchmark::State& state) {
    lumerad::ProgramOptions o;
    o.catalogueFile = seededCatalogue();
    o.dataFile = QStringLiteral(LUMERAD_SOURCE_DATA_DIR "/DATA.TXT");
    lumerad::RecordingMessages m;
    lumerad::ScriptedDialogs d;
    for (auto _ : state) {
        lumerad::Program p(m, d, o);
        p.windows().start->show();
        QApplication::processEvents();
    }
}
BENCHMARK(CreateProgramAndShowMainWindow)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return lumerad::bench::runWithWidgets(argc, argv); }
