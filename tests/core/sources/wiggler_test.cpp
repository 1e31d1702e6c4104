#include "core/sources/wiggler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

using namespace lumerad;

namespace {

using testref::table;

// Physical constants (CODATA 2018) for the independent reference values.
constexpr double kE = 1.602176634e-19, kEps0 = 8.8541878128e-12, kMe = 9.1093837015e-31;
constexpr double kC = 299792458.0, kHbar = 1.054571817e-34, kAlpha = 7.2973525693e-3;
constexpr double kMeC2eV = 510998.95;

// A 3 GeV, 100 mA ring with an electromagnet wiggler: 1 T, 0.1 m period, 20 poles.
struct Wiggler {
    CurrentBeam beam;
    MagnetState magnet;
    RecordingMessages messages;
    double crit = -1, rbw = -1;
    WigglerResult r;
    WigglerInputs in;
    Wiggler() {
        beam = {.BeamName = "test ring",
                .BeamEnergy = 3.0,
                .BeamGamma = 5870.81,
                .BeamCurrent = 0.1,
                .SigXb = 100e-6,
                .SigYb = 20e-6,
                .SigXp = 50e-6,
                .SigYp = 5e-6};
        magnet.MagType = "EM";
        magnet.BField = 1.0;
        magnet.PerLength = 0.1;
        magnet.NPoles = 20;
        magnet.DevLength = 1.0;
    }
    std::map<std::string, std::string> run() {
        clearFloatFaults();
        RecalculateWiggler(in, beam, magnet, table(), messages, crit, rbw, r);
        return texts();
    }
    std::map<std::string, std::string> texts() const {
        std::map<std::string, std::string> t;
        for (const ResultField& f : WigglerResults(r)) {
            t[f.name] = f.text;
            const std::string unit = wigglerUnitLabel(f.name);
            if (!unit.empty()) t[unit] = f.shownUnit;
        }
        return t;
    }
    // The field seen at the observation angle psi (mrad), from the sinusoidal orbit.
    double localField(double psi) const {
        const double K = 93.44 * magnet.BField * magnet.PerLength;
        const double u = psi / 1000.0 * beam.BeamGamma / K;
        return magnet.BField * std::sqrt(1.0 - u * u);
    }
};

double gammaOf(double EGeV) { return EGeV * 1e9 / kMeC2eV; }

}  // namespace

TEST(Wiggler, WorkedExampleTexts) {
    Wiggler w;
    auto t = w.run();
    EXPECT_EQ(w.r.completed, kWigFlux);
    const std::pair<const char*, const char*> expected[] = {
        {"Kpar", "9.344"},      {"Edtmxdefl", "1592.0"}, {"Edtxmax", "50.7"},       {"Ephcrit", "5.985"},
        {"LeV", "keV"},         {"Lamcrit", "2.072"},    {"EdtPhEnergy", "12.400"}, {"LeV2", "keV"},
        {"Edtxi", "2.072"},     {"edWLen", "   1.000"},  {"PowTot", "570.200"},     {"lW", "W"},
        {"Wfield", "   1.000"},
    };
    for (const auto& [name, text] : expected) EXPECT_EQ(t[name], text) << name;
    EXPECT_EQ(t.count("fldmax"), 0u);
    EXPECT_DOUBLE_EQ(w.crit, 5985.0);
    EXPECT_DOUBLE_EQ(w.rbw, 0.001);
    // The spectrum window takes over the local K, here the peak K.
    EXPECT_NEAR(w.magnet.KValue, 9.344, 1e-12);
}

// Critical energy, power and flux against the physics, for observation angles across the
// fan: the flux is that of NPoles bending magnets of the local field; the power is that of
// the whole device whatever the angle.
TEST(Wiggler, AgreesWithBendingMagnetTheoryAcrossTheFan) {
    for (double psi : {0.0, 0.5, -0.8, 1.2, 1.55}) {
        Wiggler w;
        w.in.HorAngle = std::to_string(psi);
        w.run();
        ASSERT_EQ(w.r.completed, kWigFlux) << psi;
        const double E = w.beam.BeamEnergy, I = w.beam.BeamCurrent, g = gammaOf(E);
        const double Bloc = w.localField(psi);
        // eps_c = (3/2) hbar gamma^2 e B / m, in eV
        const double crit = 1.5 * kHbar * g * g * Bloc / kMe;
        EXPECT_NEAR(w.r.critEnergy / crit, 1.0, 1e-4) << psi;
        EXPECT_NEAR(w.r.localK, 93.44 * Bloc * 0.1, 1e-9) << psi;
        // P = e^3 gamma^2 B0^2 L I / (12 pi eps0 m^2 c^2): peak field, not the local one
        const double P =
            kE * kE * kE * g * g * 1.0 * 1.0 * 1.0 * I / (12 * M_PI * kEps0 * kMe * kMe * kC * kC);
        EXPECT_NEAR(w.r.power / P, 1.0, 2e-3) << psi;
        // one pole: dF/dtheta = (4/9) alpha gamma (I/e) bw S(y), S by quadrature of K5/3
        const double y = w.r.photonEnergy / (665.0 * E * E * Bloc);
        const double flux = 20 * 4.0 / 9.0 * kAlpha * g * (I / kE) * 0.001 * testref::S(y);
        EXPECT_NEAR(w.r.angularFlux / flux, 1.0, 2e-4) << psi;
        // on axis: d2F/dtheta dpsi = 3 alpha / (4 pi^2) gamma^2 (I/e) bw y^2 K2/3(y/2)^2
        const double dens = 20 * 3 * kAlpha / (4 * M_PI * M_PI) * g * g * (I / kE) * 0.001 *
                            std::pow(y * testref::K23(y / 2), 2);
        EXPECT_NEAR(w.r.fluxDensity / dens, 1.0, 2e-4) << psi;
        EXPECT_NEAR(w.r.sigPsi, w.r.angularFlux / (std::sqrt(2 * M_PI) * w.r.fluxDensity), 1e-12) << psi;
    }
}

TEST(Wiggler, ScalingWithPolesBandWidthAndDistance) {
    Wiggler a;
    a.run();
    Wiggler b;
    b.magnet.NPoles = 40;
    b.magnet.DevLength = 2.0;
    b.in.edBandW = "0.2";
    b.in.edDist = "0";
    b.run();
    EXPECT_NEAR(b.r.fluxDensity / a.r.fluxDensity, 4.0, 1e-12);
    EXPECT_NEAR(b.r.angularFlux / a.r.angularFlux, 4.0, 1e-12);
    EXPECT_NEAR(b.r.power / a.r.power, 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(b.r.critEnergy, a.r.critEnergy);
    EXPECT_NEAR(b.r.sigPsi / a.r.sigPsi, 1.0, 1e-12);
    // at z = 0 the density downstream is the density at the source
    EXPECT_NEAR(b.r.powDensZ / b.r.powDensSource, 1.0, 1e-12);
}

// Refused calculations: the message, and no results beyond the last step completed.
TEST(Wiggler, RefusalsStopBeforeThePhotonResults) {
    struct Case {
        const char* what;
        void (*change)(Wiggler&);
        std::string message;
        int completed;
    };
    const Case cases[] = {
        {"magnet type", [](Wiggler& w) { w.magnet.MagType = "SC"; }, kChooseMagnetComponentText,
         kWigDeflection},
        {"at the deflection angle", [](Wiggler& w) { w.in.HorAngle = "1.5917"; }, kZeroFluxText, kWigOrbit},
        {"at minus the deflection angle", [](Wiggler& w) { w.in.HorAngle = "-1.5917"; }, kZeroFluxText,
         kWigOrbit},
        {"far below minus the deflection", [](Wiggler& w) { w.in.HorAngle = "-5"; }, kZeroFluxText,
         kWigOrbit},
        {"zero field", [](Wiggler& w) { w.magnet.BField = 0; }, kNoDeflectionText, kWigOrbit},
        {"negative field", [](Wiggler& w) { w.magnet.BField = -1; }, kNoDeflectionText, kWigOrbit},
        {"zero wavelength", [](Wiggler& w) { w.in.WaveLength = "0"; }, kWigglerWaveLengthText, kWigCritical},
        {"negative wavelength", [](Wiggler& w) { w.in.WaveLength = "-1"; }, kWigglerWaveLengthText,
         kWigCritical},
        {"zero band width", [](Wiggler& w) { w.in.edBandW = "0"; }, kWigglerBandWidthText, kWigCritical},
        {"negative band width", [](Wiggler& w) { w.in.edBandW = "-0.1"; }, kWigglerBandWidthText,
         kWigCritical},
        {"negative distance", [](Wiggler& w) { w.in.edDist = "-1"; }, kWigglerDistanceText, kWigPhoton},
        {"no poles", [](Wiggler& w) { w.magnet.NPoles = 0, w.magnet.DevLength = 0; }, kWigglerNoPolesText,
         kWigPhoton},
        {"far above the critical energy", [](Wiggler& w) { w.in.WaveLength = "0.02"; },
         "the photon energy lies above 70 critical energies (418950 eV), where the flux vanishes! choose a "
         "longer wavelength.",
         kWigPower},
        {"not a number", [](Wiggler& w) { w.in.WaveLength = "1,0"; },
         "'1,0' is not a valid floating point value", kWigCritical},
    };
    for (const Case& c : cases) {
        Wiggler w;
        c.change(w);
        EXPECT_EQ(thrown<InputError>([&] { w.run(); }), c.message) << c.what;  // not a FloatError
        EXPECT_EQ(w.r.completed, c.completed) << c.what;
        const auto t = w.texts();
        EXPECT_EQ(t.count("AngPhDen"), 0u) << c.what;
        EXPECT_EQ(t.count("AngFlux"), 0u) << c.what;
        EXPECT_NO_THROW(checkFloatFaults()) << c.what;
    }
}

TEST(Wiggler, ZeroPeriodIsTakenAsOneCentimetreAfterAMessage) {
    Wiggler w;
    w.magnet.PerLength = 0;
    // K stays that of the given period, 0: nothing to look into.
    EXPECT_THROW(w.run(), InputError);
    EXPECT_EQ(w.messages.texts(), std::vector<std::string>{kFinitePeriodText});
    EXPECT_EQ(w.magnet.PerLength, 0.01);
}

// The field ReadSourcePar left is used with every digit, for an electromagnet as for a
// permanent magnet; the box shows it to three decimals, a permanent magnet's beside its type.
TEST(Wiggler, FieldAsShownForAnElectromagnetAsLeftForAPermanentMagnet) {
    for (const char* type : {"EM", "PM"}) {
        Wiggler w;
        w.magnet.MagType = type;
        w.magnet.PermMag = "hybrid";
        w.magnet.BField = 1.23456;
        auto t = w.run();
        const bool em = type == std::string("EM");
        EXPECT_EQ(w.magnet.BField, 1.23456);
        EXPECT_DOUBLE_EQ(w.crit, 665.0 * 9 * w.magnet.BField);
        EXPECT_EQ(t[em ? "Wfield" : "fldmax"], "   1.235");
        EXPECT_EQ(t.count(em ? "fldmax" : "Wfield"), 0u);
        EXPECT_EQ(t["MagTyp"], em ? "" : "hybrid");
    }
}
