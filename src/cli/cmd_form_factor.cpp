// lumerad-cli form-factor --beam NAME [options]: the form factor of the form-factor window for
// a single-pass beam of the catalogue, at one wavelength, and with --scan or --output the scan
// over wavenumbers (columns, or the form-factor file the window writes).
#include <QFileInfo>

#include "store/table.h"
#include "store/tsr_module.h"
#include "cli/command.h"
#include "core/coherent/form_factor.h"
#include "core/numerics/text_to_number.h"
#include "core/spectra/synchrotron_spectrum.h"

namespace lumerad::cli {

namespace {

// The window's distribution: its radio buttons start from the record's distribution.
std::string distributionOf(const QString& shape, const QString& recordDistribution) {
    if (shape.isEmpty()) return recordDistribution == QStringLiteral("g") ? "g" : "r";
    if (shape.compare(QStringLiteral("gaussian"), Qt::CaseInsensitive) == 0 || shape == QStringLiteral("g"))
        return "g";
    if (shape.compare(QStringLiteral("uniform"), Qt::CaseInsensitive) == 0 || shape == QStringLiteral("r"))
        return "r";
    throw CliError(kBadInput,
                   "unknown shape \"" + shape.toStdString() + "\"; the shapes are gaussian and uniform");
}

int runFormFactor(Context& ctx) {
    const QString beam = ctx.args.value(QStringLiteral("beam"));
    const QString output = ctx.args.value(QStringLiteral("output"));
    const bool scan = ctx.args.isSet(QStringLiteral("scan")) || !output.isEmpty();
    Report& rep = ctx.report;
    rep.input("beam", beam.toStdString());
    ctx.selectSinglePassBeam(beam);
    ctx.checkSetFields();
    Table& t = *ctx.catalogue().SnglBeam;
    const std::string distribution =
        distributionOf(ctx.args.value(QStringLiteral("shape")), t.asText(QStringLiteral("PartDistribution")));
    const std::string wavelen = ctx.text(QStringLiteral("wavelength"));
    rep.input("shape", distribution == "g" ? "gaussian" : "uniform");
    rep.input("wavelength", wavelen);
    if (scan)
        for (const char* o : {"from", "to", "step"}) rep.input(o, ctx.text(QString::fromLatin1(o)));
    for (const QString& s : ctx.sets()) rep.input("set", s.toStdString());

    const double duration = t.asNumber(QStringLiteral("BunchDuration"));
    const FormFactorValue v = formFactorAt(wavelen, distribution, duration, ctx.messages);
    if (v.computed) rep.results.push_back(v.Lff);
    if (!scan) return kOk;

    const BunchShape shape = distribution == "g" ? BunchShape::Gaussian : BunchShape::Uniform;
    const FormFactorPoints pts = formFactorScan(
        shape, bunchLengthOfDuration(duration), parseReal(ctx.text(QStringLiteral("from"))),
        parseReal(ctx.text(QStringLiteral("to"))), parseReal(ctx.text(QStringLiteral("step"))));
    if (!output.isEmpty()) {
        rep.input("output", output.toStdString());
        DataFile file;
        if (!file.open(QFileInfo(output).absoluteFilePath().toStdString()))
            throw CliError(kFileFault, "the file " + output.toStdString() + " cannot be created");
        for (int i = 0; i < pts.size(); ++i) file.write(formFactorFileLine(pts.k[i], pts.ff[i]));
        if (!file.close()) throw CliError(kFileFault, "writing the file " + output.toStdString() + " failed");
    }
    rep.columns.push_back(dataColumn("wavenumber", "1/cm", pts.k));
    rep.columns.push_back(dataColumn("form factor", "", pts.ff));
    return kOk;
}

}  // namespace

Command formFactorCommand() {
    Command c;
    c.name = QStringLiteral("form-factor");
    c.synopsis = QStringLiteral(
        "--beam NAME [--shape S] [--wavelength UM] [--scan --from K --to K --step K] [--output FILE]");
    c.summary = QStringLiteral(
        "the bunch form factor at a wavelength, and its scan over wavenumbers (columns, or the "
        "form-factor file with --output)");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        const FormFactorInputs design;
        p.addOption(valueOption(QStringLiteral("beam"),
                                QStringLiteral("The single-pass beam (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(valueOption(
            QStringLiteral("shape"),
            QStringLiteral("Bunch shape: gaussian or uniform (default: the beam's distribution)."),
            QStringLiteral("S")));
        p.addOption(valueOption(QStringLiteral("wavelength"),
                                QStringLiteral("Wavelength of the single value in um."), QStringLiteral("UM"),
                                QString::fromStdString(design.wavelen)));
        p.addOption(QCommandLineOption(QStringLiteral("scan"),
                                       QStringLiteral("Scan the form factor over wavenumbers.")));
        p.addOption(valueOption(QStringLiteral("from"),
                                QStringLiteral("First wavenumber of the scan in 1/cm."), QStringLiteral("K"),
                                QString::fromStdString(design.Eminwvn)));
        p.addOption(valueOption(QStringLiteral("to"), QStringLiteral("Last wavenumber of the scan in 1/cm."),
                                QStringLiteral("K"), QString::fromStdString(design.Emaxwvn)));
        p.addOption(valueOption(QStringLiteral("step"), QStringLiteral("Step of the scan in 1/cm."),
                                QStringLiteral("K"), QString::fromStdString(design.Edelwvn)));
        p.addOption(
            valueOption(QStringLiteral("output"),
                        QStringLiteral("Write the scan to FILE as the form-factor file of the window."),
                        QStringLiteral("FILE")));
    };
    c.run = runFormFactor;
    return c;
}

}  // namespace lumerad::cli
