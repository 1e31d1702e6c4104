// lumerad-cli flux --beam NAME --source NAME [--harmonic I] [--bandwidth PERCENT]: the undulator
// flux window for a harmonic, after the undulator calculation.
#include "cli/command.h"
#include "core/sources/undulator.h"
#include "core/spectra/undulator_lines.h"

namespace lumerad::cli {

void addUndulatorSourceOptions(QCommandLineParser& p);
UndulatorResult runUndulatorCalculation(Context& ctx, const std::string& harm, const std::string& dist);

namespace {

int runFlux(Context& ctx) {
    const std::string harm = ctx.text(QStringLiteral("harmonic")), bw = ctx.text(QStringLiteral("bandwidth"));
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());
    runUndulatorCalculation(ctx, harm, UndulatorInputs{}.edDist);
    ctx.report.input("harmonic", harm);
    ctx.report.input("bandwidth", bw);
    Session& s = ctx.session;
    UndFluxResult r;
    UndFluxCalculate(bw, s.beam, s.magnet, s.undulator, r);
    ctx.report.results = UndFluxTexts(r);
    return kOk;
}

}  // namespace

Command fluxCommand() {
    Command c;
    c.name = QStringLiteral("flux");
    c.synopsis = QStringLiteral("--beam NAME --source NAME [--harmonic I] [--bandwidth PERCENT]");
    c.summary =
        QStringLiteral("flux, flux density, brightness and coherent fraction of an undulator harmonic");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        addUndulatorSourceOptions(p);
        p.addOption(valueOption(QStringLiteral("harmonic"), QStringLiteral("Harmonic number."),
                                QStringLiteral("I"), QString::fromStdString(UndulatorInputs{}.harm)));
        p.addOption(valueOption(QStringLiteral("bandwidth"), QStringLiteral("Band width in %."),
                                QStringLiteral("PERCENT"), QString::fromStdString(UndFluxInputs{}.EdtBW)));
    };
    c.run = runFlux;
    return c;
}

}  // namespace lumerad::cli
