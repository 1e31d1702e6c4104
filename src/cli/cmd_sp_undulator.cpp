// lumerad-cli sp-undulator --beam NAME --source NAME [--field T]: every result of the
// single-pass undulator window for a single-pass beam and an undulator of the catalogue.
#include "store/table.h"
#include "store/tsr_module.h"
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/sources/single_pass_undulator.h"

namespace lumerad::cli {

namespace {

int runSpUndulator(Context& ctx) {
    const QString beam = ctx.args.value(QStringLiteral("beam")),
                  source = ctx.args.value(QStringLiteral("source"));
    const bool fieldGiven = ctx.args.isSet(QStringLiteral("field"));
    ctx.report.input("beam", beam.toStdString());
    ctx.report.input("source", source.toStdString());
    if (fieldGiven) ctx.report.input("field", ctx.text(QStringLiteral("field")));
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());

    ctx.selectSinglePassBeam(beam);
    ctx.selectSource(source);
    Session& s = ctx.session;
    Table& sp = *ctx.catalogue().SnglBeam;
    // The window opens the field box for an electromagnet (and after "No"); a permanent magnet
    // takes its field from the gap.
    SinglePassUndulatorInputs in;
    in.wfieldEnabled = fieldGiven || s.magnet.MagType != "PM";
    in.Wfield = fieldGiven ? ctx.text(QStringLiteral("field")) : std::string();
    in.gamma = s.beam.BeamGamma;
    in.bunchLength = s.beam.BunchLength;
    in.distribution = sp.asText(QStringLiteral("PartDistribution")).toStdString();
    SinglePassUndulatorResult r;
    SinglePassUndulator(in, s.magnet, ctx.messages, r);
    ctx.report.results.push_back(
        {"Wfield", "magnet field", s.magnet.BField, "T", r.WfieldText.value_or(in.Wfield), "T"});
    for (const ResultField& f : r.fields) ctx.report.results.push_back(f);
    return kOk;
}

}  // namespace

Command spUndulatorCommand() {
    Command c;
    c.name = QStringLiteral("sp-undulator");
    c.synopsis = QStringLiteral("--beam NAME --source NAME [--field T]");
    c.summary = QStringLiteral("every result of the single-pass undulator window");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        p.addOption(valueOption(QStringLiteral("beam"),
                                QStringLiteral("The single-pass beam (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(valueOption(QStringLiteral("source"),
                                QStringLiteral("The undulator (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(
            valueOption(QStringLiteral("field"),
                        QStringLiteral("Magnet field in T, as typed into the field box (needed for an "
                                       "electromagnet; a permanent magnet takes its field from the gap)."),
                        QStringLiteral("T")));
    };
    c.run = runSpUndulator;
    return c;
}

}  // namespace lumerad::cli
