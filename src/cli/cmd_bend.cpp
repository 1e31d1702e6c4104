// lumerad-cli bend --beam NAME --source NAME [options]: every result of the bending-magnet
// window for a circulating beam and a source of the catalogue.
#include "cli/command.h"
#include "core/sources/bending_magnet.h"

namespace lumerad::cli {

namespace {

const InputOption<BendingMagnetInputs> kInputs[] = {
    {"wavelength", &BendingMagnetInputs::WaveLength, "A", "Photon wavelength in Angstrom."},
    {"bandwidth", &BendingMagnetInputs::edBandW, "PERCENT", "Relative band width in %."},
    {"vertical-angle", &BendingMagnetInputs::VerObsAng, "ANGLE",
     "Vertical observation angle in units of 1/gamma."},
    {"distance", &BendingMagnetInputs::edDist, "M", "Distance downstream of the source point in m."},
    {"incidence-angle", &BendingMagnetInputs::edIncAng, "DEG",
     "Angle of incidence on the surface in degrees (90: normal)."},
};

int runBend(Context& ctx) {
    BendingMagnetInputs in;
    readInputs(ctx, kInputs, in);
    ctx.selectRecords();
    Session& s = ctx.session;
    BendingMagnetResult r;
    RecalcSRPar(in, s.beam, s.magnet, ctx.data(), s.CritEnergy, s.RelBandWidth, r);
    ctx.report.results = BendingMagnetResults(r);
    return kOk;
}

}  // namespace

Command bendCommand() {
    return {"bend",
            "--beam NAME --source NAME [options]",
            "every result of the bending-magnet window",
            BeamKind::Circulating,
            "source",
            true,
            nullptr,
            inputOptions(kInputs),
            runBend};
}

}  // namespace lumerad::cli
