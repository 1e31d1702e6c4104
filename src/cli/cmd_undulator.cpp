// lumerad-cli undulator --beam NAME --source NAME [--harmonic I] [--distance M]: every result
// of the undulator window. The undulator calculation here is also the first step of the
// flux, lines and tune subcommands, as the undulator window is theirs.
#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/sources/undulator.h"

namespace lumerad::cli {

// Chooses the beam and the source and runs the undulator window's recalculation. A source of
// fewer than four poles and an unknown magnet type are refused (the window shows their
// message and computes nothing further).
UndulatorResult runUndulatorCalculation(Context& ctx, const UndulatorInputs& in) {
    ctx.selectRecords();
    Session& s = ctx.session;
    if (s.magnet.NPeriods <= 1) throw InputError(kNotUndulatorText);
    if (s.magnet.MagType != "PM" && s.magnet.MagType != "EM") throw InputError(kChooseMagnetComponentText);
    UndulatorResult r;
    UndulatorRecalculate(in, s.beam, s.magnet, s.undulator, ctx.messages, r);
    return r;
}

namespace {

const InputOption<UndulatorInputs> kInputs[] = {
    {"harmonic", &UndulatorInputs::harm, "I", "Harmonic number."},
    {"distance", &UndulatorInputs::edDist, "M", "Distance downstream in m."},
};

int runUndulator(Context& ctx) {
    UndulatorInputs in;
    readInputs(ctx, kInputs, in);
    ctx.report.results = UndulatorTexts(runUndulatorCalculation(ctx, in));
    return kOk;
}

}  // namespace

Command undulatorCommand() {
    return {"undulator",
            "--beam NAME --source NAME [--harmonic I] [--distance M]",
            "every result of the undulator window",
            BeamKind::Circulating,
            "undulator",
            true,
            nullptr,
            inputOptions(kInputs),
            runUndulator};
}

}  // namespace lumerad::cli
