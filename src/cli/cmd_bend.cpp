// lumerad-cli bend --beam NAME --source NAME [options]: every result of the bending-magnet
// window for a circulating beam and a source of the catalogue.
#include "cli/command.h"
#include "core/sources/bending_magnet.h"

namespace lumerad::cli {

namespace {

// Option, window field, description; the defaults are the window's design texts.
struct BendOption {
    const char* option;
    const char* field;
    const char* description;
    const char* valueName;
};
const BendOption kOptions[] = {
    {"wavelength", "WaveLength", "Photon wavelength in Angstrom.", "A"},
    {"bandwidth", "edBandW", "Relative band width in %.", "PERCENT"},
    {"vertical-angle", "VerObsAng", "Vertical observation angle in units of 1/gamma.", "ANGLE"},
    {"distance", "edDist", "Distance downstream of the source point in m.", "M"},
    {"incidence-angle", "edIncAng", "Angle of incidence on the surface in degrees (90: normal).", "DEG"},
};

std::string& inputOf(BendingMagnetInputs& in, const std::string& field) {
    if (field == "WaveLength") return in.WaveLength;
    if (field == "edBandW") return in.edBandW;
    if (field == "VerObsAng") return in.VerObsAng;
    if (field == "edDist") return in.edDist;
    return in.edIncAng;
}

int runBend(Context& ctx) {
    BendingMagnetInputs in;
    for (const BendOption& o : kOptions) inputOf(in, o.field) = ctx.text(QString::fromLatin1(o.option));
    const QString beam = ctx.args.value(QStringLiteral("beam")),
                  source = ctx.args.value(QStringLiteral("source"));
    ctx.report.input("beam", beam.toStdString());
    ctx.report.input("source", source.toStdString());
    for (const BendOption& o : kOptions) ctx.report.input(o.option, inputOf(in, o.field));
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());

    ctx.selectCircBeam(beam);
    ctx.selectSource(source);
    const Tabulated& tab = ctx.data();
    Session& s = ctx.session;
    BendingMagnetResult r;
    RecalcSRPar(in, s.beam, s.magnet, tab, s.CritEnergy, s.RelBandWidth, r);
    ctx.report.results = BendingMagnetResults(r);
    return kOk;
}

// The window's inputs as options, each with its design text as default.
void addBendOptions(QCommandLineParser& p) {
    p.addOption(valueOption(QStringLiteral("beam"),
                            QStringLiteral("The circulating beam (its name in the catalogue)."),
                            QStringLiteral("NAME")));
    p.addOption(valueOption(QStringLiteral("source"),
                            QStringLiteral("The source (its name in the catalogue)."),
                            QStringLiteral("NAME")));
    BendingMagnetInputs design;
    for (const BendOption& o : kOptions)
        p.addOption(valueOption(QString::fromLatin1(o.option), QString::fromLatin1(o.description),
                                QString::fromLatin1(o.valueName),
                                QString::fromStdString(inputOf(design, o.field))));
}

}  // namespace

Command bendCommand() {
    Command c;
    c.name = QStringLiteral("bend");
    c.synopsis = QStringLiteral("--beam NAME --source NAME [options]");
    c.summary = QStringLiteral("every result of the bending-magnet window");
    c.usesSet = true;
    c.addOptions = addBendOptions;
    c.run = runBend;
    return c;
}

}  // namespace lumerad::cli
