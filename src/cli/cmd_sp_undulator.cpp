// lumerad-cli sp-undulator --beam NAME --source NAME [--field T]: every result of the
// single-pass undulator window for a single-pass beam and an undulator of the catalogue.
#include "cli/command.h"
#include "core/numerics/number_text.h"
#include "core/sources/single_pass_undulator.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

int runSpUndulator(Context& ctx) {
    const bool fieldGiven = ctx.args.isSet(QStringLiteral("field"));
    if (fieldGiven) ctx.report.input("field", ctx.text(QStringLiteral("field")));
    ctx.selectRecords();
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
    return {"sp-undulator",
            "--beam NAME --source NAME [--field T]",
            "every result of the single-pass undulator window",
            BeamKind::SinglePass,
            "undulator",
            true,
            nullptr,
            {{"field", "T",
              "Magnet field in T, as typed into the field box (needed for an electromagnet; a permanent "
              "magnet takes its field from the gap)."}},
            runSpUndulator};
}

}  // namespace lumerad::cli
