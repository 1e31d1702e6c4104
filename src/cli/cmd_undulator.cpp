// lumerad-cli undulator --beam NAME --source NAME [--harmonic I] [--distance M]: every result
// of the undulator window. The undulator calculation here is also the first step of the
// flux, lines and tune subcommands, as the undulator window is theirs.
#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/sources/undulator.h"

namespace lumerad::cli {

// The beam and source options shared by the undulator subcommands.
void addUndulatorSourceOptions(QCommandLineParser& p) {
    p.addOption(valueOption(QStringLiteral("beam"),
                            QStringLiteral("The circulating beam (its name in the catalogue)."),
                            QStringLiteral("NAME")));
    p.addOption(valueOption(QStringLiteral("source"),
                            QStringLiteral("The undulator (its name in the catalogue)."),
                            QStringLiteral("NAME")));
}

// Chooses the beam and the source and runs the undulator window's recalculation with the
// harmonic and distance texts. A source of fewer than four poles and an unknown magnet type
// are refused (the window shows their message and computes nothing further).
UndulatorResult runUndulatorCalculation(Context& ctx, const std::string& harm, const std::string& dist) {
    const QString beam = ctx.args.value(QStringLiteral("beam")),
                  source = ctx.args.value(QStringLiteral("source"));
    ctx.report.input("beam", beam.toStdString());
    ctx.report.input("source", source.toStdString());
    ctx.selectCircBeam(beam);
    ctx.selectSource(source);
    Session& s = ctx.session;
    if (s.magnet.NPeriods <= 1) throw InputError(kNotUndulatorText);
    if (s.magnet.MagType != "PM" && s.magnet.MagType != "EM") throw InputError(kChooseMagnetComponentText);
    UndulatorResult r;
    UndulatorRecalculate({harm, dist}, s.beam, s.magnet, s.undulator, ctx.messages, r);
    return r;
}

namespace {

int runUndulator(Context& ctx) {
    const std::string harm = ctx.text(QStringLiteral("harmonic")),
                      dist = ctx.text(QStringLiteral("distance"));
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());
    const UndulatorResult r = runUndulatorCalculation(ctx, harm, dist);
    ctx.report.input("harmonic", harm);
    ctx.report.input("distance", dist);
    ctx.report.results = UndulatorTexts(r);
    return kOk;
}

}  // namespace

Command undulatorCommand() {
    Command c;
    c.name = QStringLiteral("undulator");
    c.synopsis = QStringLiteral("--beam NAME --source NAME [--harmonic I] [--distance M]");
    c.summary = QStringLiteral("every result of the undulator window");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        const UndulatorInputs design;
        addUndulatorSourceOptions(p);
        p.addOption(valueOption(QStringLiteral("harmonic"), QStringLiteral("Harmonic number."),
                                QStringLiteral("I"), QString::fromStdString(design.harm)));
        p.addOption(valueOption(QStringLiteral("distance"), QStringLiteral("Distance downstream in m."),
                                QStringLiteral("M"), QString::fromStdString(design.edDist)));
    };
    c.run = runUndulator;
    return c;
}

}  // namespace lumerad::cli
