// lumerad-cli form-factor --beam NAME [options]: the form factor of the form-factor window for
// a single-pass beam of the catalogue, at one wavelength, and with --scan or --output the scan
// over wavenumbers (columns, or the form-factor file the window writes).
#include "cli/command.h"
#include "core/coherent/form_factor.h"
#include "core/numerics/text_to_number.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

// The window's distribution: its radio buttons start from the record's distribution.
std::string distributionOf(const QString& shape, const QString& recordDistribution) {
    if (shape.isEmpty()) return recordDistribution == QStringLiteral("g") ? "g" : "r";
    if (shape == QStringLiteral("g") || shape == QStringLiteral("r")) return shape.toStdString();
    return choose(shape, {"gaussian", "uniform"}, "shape", "the shapes are gaussian and uniform") == 0 ? "g"
                                                                                                       : "r";
}

int runFormFactor(Context& ctx) {
    const bool output = !ctx.text(QStringLiteral("output")).empty();
    const bool scan = ctx.args.isSet(QStringLiteral("scan")) || output;
    Report& rep = ctx.report;
    ctx.selectRecords();
    Table& t = *ctx.catalogue().SnglBeam;
    const std::string distribution =
        distributionOf(ctx.args.value(QStringLiteral("shape")), t.asText(QStringLiteral("PartDistribution")));
    const std::string wavelen = ctx.text(QStringLiteral("wavelength"));
    rep.input("shape", distribution == "g" ? "gaussian" : "uniform");
    rep.input("wavelength", wavelen);
    if (scan)
        for (const char* o : {"from", "to", "step"}) rep.input(o, ctx.text(QString::fromLatin1(o)));

    const double duration = t.asNumber(QStringLiteral("BunchDuration"));
    const FormFactorValue v = formFactorAt(wavelen, distribution, duration, ctx.messages);
    if (v.computed) rep.results.push_back(v.Lff);
    if (!scan) return kOk;

    const BunchShape shape = distribution == "g" ? BunchShape::Gaussian : BunchShape::Uniform;
    const FormFactorPoints pts = formFactorScan(
        shape, bunchLengthOfDuration(duration), parseReal(ctx.text(QStringLiteral("from"))),
        parseReal(ctx.text(QStringLiteral("to"))), parseReal(ctx.text(QStringLiteral("step"))));
    if (output) {
        std::vector<std::string> lines;
        for (int i = 0; i < pts.size(); ++i) lines.push_back(formFactorFileLine(pts.k[i], pts.ff[i]));
        writeOutput(ctx, lines);
    }
    rep.columns.push_back(dataColumn("wavenumber", "1/cm", pts.k));
    rep.columns.push_back(dataColumn("form factor", "", pts.ff));
    return kOk;
}

}  // namespace

Command formFactorCommand() {
    return {"form-factor",
            "--beam NAME [--shape S] [--wavelength UM] [--scan --from K --to K --step K] [--output FILE]",
            "the bunch form factor at a wavelength, and its scan over wavenumbers (columns, or the "
            "form-factor file with --output)",
            BeamKind::SinglePass,
            nullptr,
            true,
            nullptr,
            {
                {"shape", "S", "Bunch shape: gaussian or uniform (default: the beam's distribution)."},
                {"wavelength", "UM", "Wavelength of the single value in um.", "100"},
                {"scan", "", "Scan the form factor over wavenumbers."},
                {"from", "K", "First wavenumber of the scan in 1/cm.", "0"},
                {"to", "K", "Last wavenumber of the scan in 1/cm.", "100"},
                {"step", "K", "Step of the scan in 1/cm.", "1.0"},
                outputOption("Write the scan to FILE as the form-factor file of the window."),
            },
            runFormFactor};
}

}  // namespace lumerad::cli
