// lumerad-cli spectrum --beam NAME --source NAME --quantity Q [...]: the synchrotron spectrum
// of the spectrum window, after the bending-magnet (or, for a wiggler record, the wiggler) calculation of
// that source, over photon energy or (sigma/pi-mode quantities) over the vertical observation angle.
#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"
#include "core/sources/bending_magnet.h"
#include "core/sources/wiggler.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

// The quantities by item number, with their short names and the caption and unit of the
// value columns.
struct Quantity {
    const char* name;
    const char* column;
    const char* unit;
};
const Quantity kQuantities[] = {
    {"angular-flux", "flux", "ph/s/mr"},
    {"spatial-density", "flux density", "ph/s/mr/mm^2"},
    {"angular-density", "flux density", "ph/s/mr^2"},
    {"sigma-pi", "sigma-mode", "ph/s/mr^2"},
    {"sigma-pi-normalized", "sigma-mode", ""},
    {"divergence", "sigma_y", "mr"},
};

int runSpectrum(Context& ctx) {
    std::vector<const char*> names;
    for (const Quantity& q : kQuantities) names.push_back(q.name);
    const int item = chooseQuantity(ctx.args.value(QStringLiteral("quantity")), names, spectrumItemText);
    const bool vsAngle = ctx.args.isSet(QStringLiteral("vs-angle"));
    const bool polarisation = item == kSigmaPi || item == kSigmaPiNormalized;
    if (vsAngle && !polarisation)
        throw CliError(kBadInput, "--vs-angle is for the sigma and pi-mode quantities (3 and 4) only");
    Report& rep = ctx.report;
    rep.input("quantity", std::to_string(item));
    for (const char* o : {"bandwidth", "from", "to", "step", "vertical-angle"})
        rep.input(o, ctx.text(QString::fromLatin1(o)));
    if (vsAngle)
        for (const char* o : {"photon-energy", "max-angle", "angle-step"})
            rep.input(o, ctx.text(QString::fromLatin1(o)));
    ctx.selectRecords();
    const Tabulated& tab = ctx.data();
    Session& s = ctx.session;

    // "spectrum" of the source's own window: a wiggler's recalculation and wiggler mode for a
    // wiggler record, the bending-magnet recalculation and bending-magnet mode otherwise.
    if (readSourceRecord(*ctx.catalogue().InsDevice).SrceType == "Wig") {
        WigglerInputs wig;
        wig.edBandW = ctx.text(QStringLiteral("bandwidth"));
        WigglerResult wr;
        RecalculateWiggler(wig, s.beam, s.magnet, tab, ctx.messages, s.CritEnergy, s.RelBandWidth, wr);
        s.flags.BendMagMode = false;
        s.flags.WigglerMode = true;
    } else {
        BendingMagnetInputs bend;
        bend.edBandW = ctx.text(QStringLiteral("bandwidth"));
        BendingMagnetResult br;
        RecalcSRPar(bend, s.beam, s.magnet, tab, s.CritEnergy, s.RelBandWidth, br);
        s.flags.BendMagMode = true;
        s.flags.WigglerMode = false;
    }

    // The spectrum window's calculation, step by step as the window runs it.
    const ObservationPoint obs =
        observationPoint(s.flags.WigglerMode, s.flags.BendMagMode, s.magnet, s.beam, {});
    s.CritEnergy = spectrumCritEnergy(s.beam.BeamEnergy, obs.ObsField);
    rep.results.push_back(spectrumCritEnergyField(s.CritEnergy));
    s.RelBandWidth = spectrumRelBandWidth(ctx.text(QStringLiteral("bandwidth")));
    const EnergyScan scan =
        energyScanSettings(ctx.text(QStringLiteral("from")), ctx.text(QStringLiteral("to")),
                           ctx.text(QStringLiteral("step")), ctx.messages);
    double psiMax = 0, dPsi = 0, phEn = 0;
    if (vsAngle) {
        psiMax = parseReal(ctx.text(QStringLiteral("max-angle")));
        dPsi = parseReal(ctx.text(QStringLiteral("angle-step")));
        phEn = parseReal(ctx.text(QStringLiteral("photon-energy")));
        angleScanPointCount(psiMax, dPsi);
        if (!(phEn > 0)) throw InputError(kPhotonEnergyPositiveText);
    } else {
        energyScanPointCount(scan);
    }
    const double psiV = parseReal(ctx.text(QStringLiteral("vertical-angle")));
    const SpectrumFactors k = spectrumFactors(s.beam, s.magnet.NPoles, s.RelBandWidth, psiV);
    const SpectrumPoints pts =
        vsAngle ? angleScanPoints(item, tab, psiMax, dPsi, phEn, s.CritEnergy, k)
                : energyScanPoints(item, s.flags.WigglerMode, tab, scan, s.CritEnergy, s.beam, k);

    if (!ctx.text(QStringLiteral("output")).empty()) {
        std::vector<std::string> lines = {spectrumFileHeader(item, vsAngle)};
        for (int i = 0; i < pts.size(); ++i) lines.push_back(spectrumFilePointLine(item, pts, i));
        writeOutput(ctx, lines);
    }

    const Quantity& q = kQuantities[item];
    rep.columns.push_back(vsAngle ? dataColumn("vert. obs. angle", "1/gamma", pts.x)
                                  : dataColumn("photon energy", "eV", pts.x));
    rep.columns.push_back(dataColumn(q.column, q.unit, pts.value));
    if (polarisation) rep.columns.push_back(dataColumn("pi-mode", q.unit, pts.pi));
    return kOk;
}

}  // namespace

Command spectrumCommand() {
    std::vector<Option> options = {
        {"quantity", "Q",
         "The quantity: 0 angular-flux, 1 spatial-density, 2 angular-density, 3 sigma-pi, "
         "4 sigma-pi-normalized, 5 divergence.",
         "0"},
        {"bandwidth", "PERCENT", "Band width in %.", "0.1"},
        {"from", "EV", "Lowest photon energy in eV.", "10.0"},
        {"to", "EV", "Highest photon energy in eV.", "25000.0"},
        {"step", "PERCENT", "Step of the photon energy in %.", "5.0"},
        {"vertical-angle", "ANGLE", "Vertical observation angle of the energy scan in units of 1/gamma.",
         "0.0"},
        {"vs-angle", "", "Scan the vertical angle instead (quantities 3 and 4)."},
        {"photon-energy", "EV", "Photon energy of the angle scan in eV.", "100"},
        {"max-angle", "ANGLE", "Largest vertical angle of the angle scan in units of 1/gamma.", "1.0"},
        {"angle-step", "ANGLE", "Step of the angle scan in units of 1/gamma.", "0.1"},
        outputOption("Also write the spectrum file as the window writes it."),
    };
    return {"spectrum",
            "--beam NAME --source NAME --quantity Q [--from EV --to EV --step PERCENT | --vs-angle ...]",
            "the synchrotron spectrum of a bending magnet or wiggler (columns, or the spectrum file with "
            "--output)",
            BeamKind::Circulating,
            "source",
            true,
            nullptr,
            options,
            runSpectrum};
}

}  // namespace lumerad::cli
