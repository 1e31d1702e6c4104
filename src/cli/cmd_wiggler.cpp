// lumerad-cli wiggler --beam NAME --source NAME [options]: every result of the wiggler
// window for a circulating beam and a source of the catalogue.
#include "store/table.h"
#include "store/tsr_module.h"
#include "cli/command.h"
#include "core/sources/wiggler.h"

namespace lumerad::cli {

namespace {

struct WigglerOption {
    const char* option;
    const char* description;
    const char* valueName;
    std::string WigglerInputs::*field;
};
const WigglerOption kOptions[] = {
    {"angle", "Horizontal observation angle in mrad (default: the source record's ObsAngle_x).", "MRAD",
     &WigglerInputs::HorAngle},
    {"wavelength", "Photon wavelength in Angstrom.", "A", &WigglerInputs::WaveLength},
    {"bandwidth", "Relative band width in %.", "PERCENT", &WigglerInputs::edBandW},
    {"distance", "Distance downstream of the source point in m.", "M", &WigglerInputs::edDist},
};

int runWiggler(Context& ctx) {
    const QString beam = ctx.args.value(QStringLiteral("beam")),
                  source = ctx.args.value(QStringLiteral("source"));
    ctx.selectCircBeam(beam);
    ctx.selectSource(source);
    WigglerInputs in;
    for (const WigglerOption& o : kOptions) in.*o.field = ctx.text(QString::fromLatin1(o.option));
    // The window's angle field shows the source record's angle, as the record shows it.
    if (!ctx.args.isSet(QStringLiteral("angle")))
        in.HorAngle = ctx.catalogue().InsDevice->displayText(QStringLiteral("ObsAngle_x")).toStdString();
    ctx.report.input("beam", beam.toStdString());
    ctx.report.input("source", source.toStdString());
    for (const WigglerOption& o : kOptions) ctx.report.input(o.option, in.*o.field);
    for (const QString& s : ctx.sets()) ctx.report.input("set", s.toStdString());

    Session& s = ctx.session;
    WigglerResult r;
    RecalculateWiggler(in, s.beam, s.magnet, ctx.data(), ctx.messages, s.CritEnergy, s.RelBandWidth, r);
    ctx.report.results = WigglerResults(r);
    return kOk;
}

}  // namespace

Command wigglerCommand() {
    Command c;
    c.name = QStringLiteral("wiggler");
    c.synopsis = QStringLiteral("--beam NAME --source NAME [options]");
    c.summary = QStringLiteral("every result of the wiggler window");
    c.usesSet = true;
    c.addOptions = [](QCommandLineParser& p) {
        p.addOption(valueOption(QStringLiteral("beam"),
                                QStringLiteral("The circulating beam (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        p.addOption(valueOption(QStringLiteral("source"),
                                QStringLiteral("The wiggler (its name in the catalogue)."),
                                QStringLiteral("NAME")));
        const WigglerInputs design;
        for (const WigglerOption& o : kOptions) {
            const bool fromRecord = std::string(o.option) == "angle";
            p.addOption(valueOption(QString::fromLatin1(o.option), QString::fromLatin1(o.description),
                                    QString::fromLatin1(o.valueName),
                                    fromRecord ? QString() : QString::fromStdString(design.*o.field)));
        }
    };
    c.run = runWiggler;
    return c;
}

}  // namespace lumerad::cli
