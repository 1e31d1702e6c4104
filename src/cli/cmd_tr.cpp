// lumerad-cli tr --beam NAME [options]: every result of the transition-radiation window for a
// single-pass beam of the catalogue, with the photon energy in its unit, the band width, the
// coherence and the acceptance angle it was computed for.
#include "cli/command.h"
#include "core/coherent/transition_radiation.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

const InputOption<TransitionRadiationInputs> kInputs[] = {
    {"photon", &TransitionRadiationInputs::photon, "V",
     "Photon energy, wavelength, wave number or frequency, in the unit of --unit."},
    {"bandwidth", &TransitionRadiationInputs::bandWidth, "BW", "Relative band width (a fraction)."},
};

int runTr(Context& ctx) {
    TransitionRadiationInputs in;
    const PhotonUnit units[] = {PhotonUnit::eV,       PhotonUnit::m,     PhotonUnit::Angstrom,
                                PhotonUnit::Angstrom, PhotonUnit::perCm, PhotonUnit::THz};
    in.unit =
        units[choose(ctx.args.value(QStringLiteral("unit")), {"eV", "m", "A", "Angstrom", "1/cm", "THz"},
                     "unit", "the units are eV, m, A, 1/cm, THz")];
    in.coherent = !ctx.args.isSet(QStringLiteral("incoherent"));
    TransitionRadiationState state;
    const bool byGamma = ctx.args.isSet(QStringLiteral("angle-gamma")),
               byMrad = ctx.args.isSet(QStringLiteral("angle-mrad"));
    if (byGamma && byMrad) throw CliError(kBadInput, "choose one of --angle-gamma and --angle-mrad");
    if (byGamma) in.angleGamma = ctx.text(QStringLiteral("angle-gamma"));
    if (byMrad) in.angleMrad = ctx.text(QStringLiteral("angle-mrad"));
    state.AccAngFromGamma = byGamma;
    state.AccAngFromMrad = byMrad;

    Report& rep = ctx.report;
    readInputs(ctx, kInputs, in);
    rep.input("unit", photonUnitLabel(in.unit));
    rep.input("coherent", in.coherent ? "yes" : "no");
    if (byGamma) rep.input("angle-gamma", in.angleGamma);
    if (byMrad) rep.input("angle-mrad", in.angleMrad);
    ctx.selectRecords();
    Table& t = *ctx.catalogue().SnglBeam;
    const TransitionRadiationBeam b = transitionRadiationBeam(t);
    TransitionRadiationResult r;
    CalculateTR(in, b, state, ctx.messages, r);

    // What the window shows around its results: the photon entry in its unit, the band width,
    // the coherence, the unit list, the acceptance angle.
    const std::string bw = r.bandWidthText.value_or(in.bandWidth);
    rep.results.push_back({"EdtPhEn", photonUnitCaption(in.unit), 0, photonUnitLabel(in.unit), in.photon,
                           photonUnitLabel(in.unit)});
    rep.results.push_back({"photonEnergy", "photon energy", r.E, "eV", general(r.E, 5, 3), "eV"});
    rep.results.push_back({"EdtBnWdth", "bandwidth", r.bandWidth, "", bw, ""});
    rep.results.push_back(
        {"coherence", "select", in.coherent ? 1.0 : 0.0, "", in.coherent ? "coherent" : "incoherent", ""});
    const char* convertUnits[] = {"m", "Angstrom", "eV", "1/cm", "THz", "deg Kelvin"};
    for (size_t i = 1; i < r.convertLines.size(); ++i) {
        const std::string& line = r.convertLines[i];
        const std::string unit = convertUnits[i - 1];
        rep.results.push_back({"cbConvert" + std::to_string(i), "other energy units", 0, unit,
                               line.substr(0, line.size() - unit.size() - 1), unit});
    }
    for (const ResultField& f : r.fields) rep.results.push_back(f);
    rep.results.push_back({"EdtAngAccGam", "acceptance angle", r.theta * b.gamma, "1/gamma",
                           r.angleGammaText.value_or(in.angleGamma), "1/γ"});
    rep.results.push_back(
        {"EdtAngAccmr", "acceptance angle", r.theta, "rad", r.angleMradText.value_or(in.angleMrad), "mrad"});
    return kOk;
}

}  // namespace

Command trCommand() {
    std::vector<Option> options = inputOptions(kInputs);
    options.insert(options.begin() + 1, {"unit", "U", "Unit of --photon: eV, m, A, 1/cm or THz.",
                                         photonUnitLabel(TransitionRadiationInputs().unit)});
    options.insert(options.end(), {{"incoherent", "", "Incoherent radiation (coherent without it)."},
                                   {"angle-gamma", "A", "Acceptance half-angle in units of 1/gamma."},
                                   {"angle-mrad", "A", "Acceptance half-angle in mrad."}});
    return {"tr",
            "--beam NAME [--photon V --unit U --bandwidth BW --incoherent --angle-gamma A | --angle-mrad A]",
            "every result of the transition-radiation window",
            BeamKind::SinglePass,
            nullptr,
            true,
            nullptr,
            options,
            runTr};
}

}  // namespace lumerad::cli
