// lumerad-cli flux --beam NAME --source NAME [--harmonic I] [--bandwidth PERCENT]: the undulator
// flux window for a harmonic, after the undulator calculation.
#include "cli/command.h"
#include "core/sources/undulator.h"
#include "core/spectra/undulator_lines.h"

namespace lumerad::cli {

UndulatorResult runUndulatorCalculation(Context& ctx, const UndulatorInputs& in);

namespace {

// The undulator window's harmonic; its distance stays at the design text.
const InputOption<UndulatorInputs> kInputs[] = {
    {"harmonic", &UndulatorInputs::harm, "I", "Harmonic number."}};

int runFlux(Context& ctx) {
    UndulatorInputs in;
    readInputs(ctx, kInputs, in);
    runUndulatorCalculation(ctx, in);
    const std::string bw = ctx.text(QStringLiteral("bandwidth"));
    ctx.report.input("bandwidth", bw);
    Session& s = ctx.session;
    UndFluxResult r;
    UndFluxCalculate(bw, s.beam, s.magnet, s.undulator, r);
    ctx.report.results = UndFluxTexts(r);
    return kOk;
}

}  // namespace

Command fluxCommand() {
    std::vector<Option> options = inputOptions(kInputs);
    options.push_back({"bandwidth", "PERCENT", "Band width in %.", "0.1"});
    return {"flux",
            "--beam NAME --source NAME [--harmonic I] [--bandwidth PERCENT]",
            "flux, flux density, brightness and coherent fraction of an undulator harmonic",
            BeamKind::Circulating,
            "undulator",
            true,
            nullptr,
            options,
            runFlux};
}

}  // namespace lumerad::cli
