// lumerad-cli wiggler --beam NAME --source NAME [options]: every result of the wiggler
// window for a circulating beam and a source of the catalogue.
#include "cli/command.h"
#include "core/sources/wiggler.h"
#include "store/table.h"
#include "store/tsr_module.h"

namespace lumerad::cli {

namespace {

const InputOption<WigglerInputs> kInputs[] = {
    {"angle", &WigglerInputs::HorAngle, "MRAD",
     "Horizontal observation angle in mrad (default: the source record's ObsAngle_x).", false},
    {"wavelength", &WigglerInputs::WaveLength, "A", "Photon wavelength in Angstrom."},
    {"bandwidth", &WigglerInputs::edBandW, "PERCENT", "Relative band width in %."},
    {"distance", &WigglerInputs::edDist, "M", "Distance downstream of the source point in m."},
};

int runWiggler(Context& ctx) {
    ctx.selectRecords();
    WigglerInputs in;
    // The window's angle field shows the source record's angle, as the record shows it.
    in.HorAngle = ctx.catalogue().InsDevice->displayText(QStringLiteral("ObsAngle_x")).toStdString();
    readInputs(ctx, kInputs, in);
    Session& s = ctx.session;
    WigglerResult r;
    RecalculateWiggler(in, s.beam, s.magnet, ctx.data(), ctx.messages, s.CritEnergy, s.RelBandWidth, r);
    ctx.report.results = WigglerResults(r);
    return kOk;
}

}  // namespace

Command wigglerCommand() {
    return {"wiggler",
            "--beam NAME --source NAME [options]",
            "every result of the wiggler window",
            BeamKind::Circulating,
            "wiggler",
            true,
            nullptr,
            inputOptions(kInputs),
            runWiggler};
}

}  // namespace lumerad::cli
