// Inputs that no device, beam or photon can have are refused before a calculation uses them,
// with a text that names the field and the objectName the window focuses; the command line
// runs the same routines and prints the same text. One row per input.
#include "core/numerics/input_limits.h"

#include <gtest/gtest.h>

#include <functional>

#include "../undulator_reference.h"
#include "core/beams/record_limits.h"
#include "core/coherent/form_factor.h"
#include "core/coherent/transition_radiation.h"
#include "core/numerics/errors.h"
#include "core/numerics/function_calculator.h"
#include "core/numerics/tabulated.h"
#include "core/sources/single_pass_undulator.h"
#include "core/sources/undulator.h"
#include "core/spectra/synchrotron_spectrum.h"
#include "core/spectra/undulator_lines.h"

using namespace lumerad;

namespace {

struct World {
    CurrentBeam beam;
    MagnetState magnet;
    UndulatorState und;
    RecordingMessages messages;
    World() {
        undtest::workedExampleRing(beam, magnet);
        clearFloatFaults();
    }
    void undulator(const char* harm, const char* dist) {
        UndulatorResult r;
        UndulatorRecalculate({harm, dist}, beam, magnet, und, messages, r);
    }
    void lines(const char* bw) {
        undulator("1", "1");
        LineListState list;
        LineListResult r;
        double rbw = 0;
        LineListCalculate({bw, "1", "3"}, beam, magnet, und, rbw, list, messages, r);
    }
    void flux(const char* bw) {
        undulator("1", "1");
        UndFluxResult r;
        UndFluxCalculate(bw, beam, magnet, und, r);
    }
    // A scan of a permanent-magnet undulator: hybrid, 35 mm period, 3.33 T.
    void scan(ScanKind kind, const char* min, const char* max) {
        magnet.MagType = "PM";
        magnet.PermMag = "hybrid";
        magnet.RemnField = 3.33;
        magnet.PerLength = 0.035;
        LineListState list;
        list.accepted = true;
        list.iFrom = list.iTo = 1;
        TuningScanInputs in;
        (kind == ScanKind::Gap ? in.edGapmin : in.edKmin) = min;
        (kind == ScanKind::Gap ? in.edGapmax : in.edKmax) = max;
        in.kind = kind;
        TuningScanCalculate(in, list, beam, magnet, 1e-3, messages);
    }
    void spUndulator(const char* field) {
        magnet.PerLength = 0.03;
        SinglePassUndulatorResult r;
        SinglePassUndulator({true, field, 2000, 1e-5, "g"}, magnet, messages, r);
    }
    void tr(PhotonUnit unit, const char* photon, const char* bw, const char* gammaAngle = nullptr,
            const char* mradAngle = nullptr) {
        TransitionRadiationState s;
        s.AccAngFromGamma = gammaAngle;
        s.AccAngFromMrad = mradAngle;
        TransitionRadiationResult r;
        TransitionRadiationInputs in{
            photon, unit, bw, false, gammaAngle ? gammaAngle : "", mradAngle ? mradAngle : ""};
        CalculateTR(in, {2000, 1, 1, 10, 100, "g"}, s, messages, r);
    }
};

void refuseBreach(const std::optional<LimitBreach>& b) {
    if (b) throw InputError(b->text, b->field);
}

SourceRecord pmUndulator(double gap, double gapMax = 30) {
    return {"U35", "PM", "Und", "hybrid", 0.7, 3.33, 90, 35, gap, 10, gapMax};
}

SnglBeamValues linac(double energyMeV) {
    SnglBeamValues v;
    v.Energy = energyMeV;
    return v;
}

}  // namespace

TEST(InputLimits, EveryInputOutsideItsPhysicalRangeIsRefusedNamingItsField) {
    struct Case {
        const char* what;
        std::function<void(World&)> run;
        std::string text, field;
    };
    const std::string bw = kBandWidthTooLargeText, gapTop = kGapTooLargeText;
    const Case cases[] = {
        {"undulator: negative distance", [](World& w) { w.undulator("1", "-1"); }, kNegativeDistanceText,
         "edDist"},
        {"undulator: harmonic 1e9", [](World& w) { w.undulator("1000000000", "1"); }, kHarmonicTooLargeText,
         "harm"},
        {"flux: band width 1e308", [](World& w) { w.flux("1e308"); }, bw, "EdtBW"},
        {"flux: band width 0", [](World& w) { w.flux("0"); }, kPositiveBandWidthText, "EdtBW"},
        {"lines: band width 1e308", [](World& w) { w.lines("1e308"); }, bw, "BW"},
        {"spectrum: band width 1e308", [](World&) { spectrumRelBandWidth("1e308"); }, bw, "BW"},
        {"scan: K_max 1e308", [](World& w) { w.scan(ScanKind::K, "0", "1e308"); }, kKTooLargeText, "edKmax"},
        {"scan: K_min = K_max", [](World& w) { w.scan(ScanKind::K, "2", "2"); }, kFlatKRangeText, "edKmax"},
        {"scan: max gap 1e308", [](World& w) { w.scan(ScanKind::Gap, "5", "1e308"); }, gapTop, "edGapmax"},
        {"scan: min gap 0", [](World& w) { w.scan(ScanKind::Gap, "0", "20"); }, kZeroGapText, "edGapmin"},
        // a hybrid field is held beyond 0.7 periods (24.5 mm): 30 to 40 mm give one K
        {"scan: flat gap range", [](World& w) { w.scan(ScanKind::Gap, "30", "40"); }, kFlatGapRangeText,
         "edGapmax"},
        {"single pass: field -1 T", [](World& w) { w.spUndulator("-1"); }, kSPFieldRangeText, "Wfield"},
        {"single pass: field 0 T", [](World& w) { w.spUndulator("0"); }, kSPFieldRangeText, "Wfield"},
        {"single pass: field 1e308 T", [](World& w) { w.spUndulator("1e308"); }, kSPFieldRangeText, "Wfield"},
        {"TR: band width 0", [](World& w) { w.tr(PhotonUnit::eV, "1", "0"); },
         "the band width must be positive!", "EdtBnWdth"},
        {"TR: band width 2", [](World& w) { w.tr(PhotonUnit::eV, "1", "2"); }, kTRBandWidthTooLargeText,
         "EdtBnWdth"},
        {"TR: angle -1 mrad", [](World& w) { w.tr(PhotonUnit::eV, "1", "0.001", nullptr, "-1"); },
         kNegativeAngleText, "EdtAngAccmr"},
        {"TR: angle -1/gamma", [](World& w) { w.tr(PhotonUnit::eV, "1", "0.001", "-1"); }, kNegativeAngleText,
         "EdtAngAccGam"},
        {"TR: 1e-321 eV", [](World& w) { w.tr(PhotonUnit::eV, "1e-321", "0.001"); },
         std::string("the photon energy") + kPhotonRangeText, "EdtPhEn"},
        {"TR: 1e-321 THz", [](World& w) { w.tr(PhotonUnit::THz, "1e-321", "0.001"); },
         std::string("the frequency") + kPhotonRangeText, "EdtPhEn"},
        {"form factor: -5 um", [](World& w) { formFactorAt("-5", "g", 100, w.messages); },
         kNegativeWavelengthText, "wavelen"},
        {"form factor: scan 100 to 0", [](World&) { formFactorScan(BunchShape::Gaussian, 1e-5, 100, 0, 1); },
         kEmptyWavenumberRangeText, "Emaxwvn"},
        {"form factor: scan from -1", [](World&) { formFactorScan(BunchShape::Uniform, 1e-5, -1, 10, 1); },
         kNegativeFirstWavenumberText, "Eminwvn"},
        {"source: PM gap 0", [](World&) { refuseBreach(sourceBreach(pmUndulator(0))); },
         "Gap: the gap of a permanent magnet must be above 0 mm", "Gap"},
        {"source: gap 1e308", [](World&) { refuseBreach(sourceBreach(pmUndulator(1e308))); },
         "Gap: the gap must be at most 1000 mm", "Gap"},
        {"linac: 1e308 MeV", [](World&) { refuseBreach(snglBeamBreach(linac(1e308))); },
         "Energy: the beam energy must be at most 10000000 MeV", "Energy"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        try {
            c.run(w);
            ADD_FAILURE() << "not refused";
        } catch (const InputError& e) {
            EXPECT_EQ(e.what(), c.text);
            EXPECT_EQ(e.field(), c.field);
        }
    }
    // the limits themselves are accepted
    World w;
    EXPECT_NO_THROW(w.undulator("10000", "1"));
    EXPECT_NO_THROW(w.undulator("1", "0"));
    clearFloatFaults();
    EXPECT_NO_THROW(w.lines("100"));
    EXPECT_EQ(spectrumRelBandWidth("100"), 1.0);
    EXPECT_FALSE(sourceBreach(pmUndulator(1000, 1000)));
    EXPECT_FALSE(snglBeamBreach(linac(1e7)));
}

// Ai and Ai' of a large argument are below the smallest double: 0, no fault. A refused or
// faulting input leaves its panel without the result of an earlier one.
TEST(InputLimits, AiryUnderflowsToZeroAndNoEarlierResultStays) {
    Tabulated tab;
    FunctionPanelState s;
    InitializeFunctions(s);
    s.text["AiryArg"] = "1e308";
    clearFloatFaults();
    RecalculateFunctions(s, tab);
    EXPECT_NO_THROW(checkFloatFaults());
    EXPECT_EQ(s["Aiofx"], "0");
    EXPECT_EQ(s["AiPofx"], "0");
    s.text["Aiofx"] = "0.1352924";  // as Ai(1) left it
    s.text["AiryArg"] = "abc";
    EXPECT_THROW(RecalculateFunctions(s, tab), InputError);
    EXPECT_EQ(s["Aiofx"], "");
    EXPECT_EQ(s["AiPofx"], "");
}
