// lumerad-cli spectrum --beam NAME --source NAME --quantity Q [...]: the synchrotron spectrum
// of the spectrum window, after the bending-magnet (or, for a wiggler record, the wiggler) calculation of
// that source, over photon energy or (sigma/pi-mode quantities) over the vertical observation angle.
#include <QFileInfo>

#include "store/tsr_module.h"
#include "cli/command.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/sources/bending_magnet.h"
#include "core/sources/wiggler.h"
#include "core/spectra/synchrotron_spectrum.h"

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

int quantityItem(const QString& q) {
    bool number = false;
    const int n = q.toInt(&number);
    if (number && n >= 0 && n < int(std::size(kQuantities))) return n;
    for (int i = 0; i < int(std::size(kQuantities)); ++i)
        if (q.compare(QString::fromLatin1(kQuantities[i].name), Qt::CaseInsensitive) == 0) return i;
    std::string list;
    for (int i = 0; i < int(std::size(kQuantities)); ++i)
        list += "\n  " + std::to_string(i) + "  " + kQuantities[i].name + "  (" + spectrumItemText(i) + ")";
    throw CliError(kBadInput, "unknown quantity \"" + q.toStdString() + "\"; the quantities are:" + list);
}

int runSpectrum(Context& ctx) {
    const int item = quantityItem(ctx.args.value(QStringLiteral("quantity")));
    const bool vsAngle = ctx.args.isSet(QStringLiteral("vs-angle"));
    const bool polarisation = item == kSigmaPi || item == kSigmaPiNormalized;
    if (vsAngle && !polarisation)
        throw CliError(kBadInput, "--vs-angle is for the sigma and pi-mode quantities (3 and 4) only");
    const QString beam = ctx.args.value(QStringLiteral("beam")),
                  source = ctx.args.value(QStringLiteral("source"));
    Report& rep = ctx.report;
    rep.input("beam", beam.toStdString());
    rep.input("source", source.toStdString());
    rep.input("quantity", std::to_string(item));
    for (const char* o : {"bandwidth", "from", "to", "step", "vertical-angle"})
        rep.input(o, ctx.text(QString::fromLatin1(o)));
    if (vsAngle)
        for (const char* o : {"photon-energy", "max-angle", "angle-step"})
            rep.input(o, ctx.text(QString::fromLatin1(o)));
    for (const QString& s : ctx.sets()) rep.input("set", s.toStdString());

    ctx.selectCircBeam(beam);
    ctx.selectSource(source);
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
    s.RelBandWidth = checkedValue(parseReal(ctx.text(QStringLiteral("bandwidth"))) / 100.0);
    if (s.RelBandWidth < 0) throw InputError(kNegativeBandWidthText, "BW");
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

    const QString output = ctx.args.value(QStringLiteral("output"));
    if (!output.isEmpty()) {
        rep.input("output", output.toStdString());
        DataFile file;
        if (!file.open(QFileInfo(output).absoluteFilePath().toStdString()))
            throw CliError(kFileFault, "the file " + output.toStdString() + " cannot be created");
        file.write(spectrumFileHeader(item, vsAngle));
        for (int i = 0; i < pts.size(); ++i) file.write(spectrumFilePointLine(item, pts, i));
        if (!file.close()) throw CliError(kFileFault, "writing the file " + output.toStdString() + " failed");
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
    Command c;
    c.name = QStringLiteral("spectrum");
    c.synopsis = QStringLiteral(
        "--beam NAME --source NAME --quantity Q [--from EV --to EV --step PERCENT | --vs-angle ...]");
    c.summary = QStringLiteral(
        "the synchrotron spectrum of a bending magnet or wiggler (columns, or the spectrum file with "
        "--output)");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        const SpectrumInputs design;
        p.addOption(valueOption(QStringLiteral("beam"),
                                QStringLiteral("The circulating beam (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(valueOption(QStringLiteral("source"),
                                QStringLiteral("The source (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(valueOption(
            QStringLiteral("quantity"),
            QStringLiteral("The quantity: 0 angular-flux, 1 spatial-density, 2 angular-density, 3 sigma-pi, "
                           "4 sigma-pi-normalized, 5 divergence."),
            QStringLiteral("Q"), QStringLiteral("0")));
        p.addOption(valueOption(QStringLiteral("bandwidth"), QStringLiteral("Band width in %."),
                                QStringLiteral("PERCENT"), QString::fromStdString(design.BW)));
        p.addOption(valueOption(QStringLiteral("from"), QStringLiteral("Lowest photon energy in eV."),
                                QStringLiteral("EV"), QString::fromStdString(design.e_phmin)));
        p.addOption(valueOption(QStringLiteral("to"), QStringLiteral("Highest photon energy in eV."),
                                QStringLiteral("EV"), QString::fromStdString(design.e_phmax)));
        p.addOption(valueOption(QStringLiteral("step"), QStringLiteral("Step of the photon energy in %."),
                                QStringLiteral("PERCENT"), QString::fromStdString(design.De_ph)));
        p.addOption(
            valueOption(QStringLiteral("vertical-angle"),
                        QStringLiteral("Vertical observation angle of the energy scan in units of 1/gamma."),
                        QStringLiteral("ANGLE"), QString::fromStdString(design.edVAng)));
        p.addOption(
            QCommandLineOption(QStringLiteral("vs-angle"),
                               QStringLiteral("Scan the vertical angle instead (quantities 3 and 4).")));
        p.addOption(valueOption(QStringLiteral("photon-energy"),
                                QStringLiteral("Photon energy of the angle scan in eV."),
                                QStringLiteral("EV"), QString::fromStdString(design.edPhEn)));
        p.addOption(
            valueOption(QStringLiteral("max-angle"),
                        QStringLiteral("Largest vertical angle of the angle scan in units of 1/gamma."),
                        QStringLiteral("ANGLE"), QString::fromStdString(design.edAngMax)));
        p.addOption(valueOption(QStringLiteral("angle-step"),
                                QStringLiteral("Step of the angle scan in units of 1/gamma."),
                                QStringLiteral("ANGLE"), QString::fromStdString(design.edDAng)));
        p.addOption(valueOption(QStringLiteral("output"),
                                QStringLiteral("Also write the spectrum file as the window writes it."),
                                QStringLiteral("FILE")));
    };
    c.run = runSpectrum;
    return c;
}

}  // namespace lumerad::cli
