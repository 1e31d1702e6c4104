#include "core/sources/undulator.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../../support/thrown.h"
#include "../undulator_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

using namespace lumerad;
using namespace lumerad::undtest;

namespace {

// A 3 GeV, 100 mA ring with a 50 mm, 100-pole undulator at K = 1.
struct Fixture {
    CurrentBeam beam;
    MagnetState magnet;
    UndulatorState und;
    RecordingMessages messages;
    UndulatorResult r;
    Fixture() {
        workedExampleRing(beam, magnet);
        beam.SigXb = 100e-6;
        beam.SigYb = 10e-6;
        beam.SigXp = 20e-6;
        beam.SigYp = 3e-6;
    }
    std::map<std::string, ResultField> run(UndulatorInputs in = {}) {
        clearFloatFaults();
        UndulatorRecalculate(in, beam, magnet, und, messages, r);
        std::map<std::string, ResultField> t;
        for (auto& f : UndulatorTexts(r)) t[f.name] = f;
        return t;
    }
};

}  // namespace

// The Bessel factor against the standard library, down to deflections where xi = n K^2 / 4
// reaches 1e-29 (the recurrence's small-argument limit), and the on-axis and central-cone
// fluxes built on it; even harmonics and harmonics below one have nothing on the axis.
TEST(UndulatorBessel, FactorsAgreeWithStandardBesselFunctions) {
    struct Case {
        int n;
        double K, relTol;
    };
    const Case cases[] = {{1, 0.1, 2e-7},  {1, 1.0, 2e-7},   {1, 2.5, 2e-7},    {3, 0.5, 2e-7},
                          {3, 2.0, 2e-7},  {5, 1.0, 2e-7},   {7, 3.0, 2e-7},    {9, 1.5, 2e-7},
                          {15, 2.0, 2e-7}, {21, 4.0, 2e-7},  {29, 1.2, 2e-7},   {29, 6.0, 2e-7},
                          {1, 0.05, 1e-6}, {9, 0.05, 1e-6},  {15, 0.05, 1e-6},  {3, 1e-6, 1e-6},
                          {9, 1e-9, 1e-6}, {21, 1e-9, 1e-6}, {29, 1e-14, 1e-6}, {3, 1e-14, 1e-6}};
    const double I = 0.2, gamma = 11741.6;
    const int N = 80;
    for (const Case& c : cases) {
        SCOPED_TRACE("n = " + std::to_string(c.n) + ", K = " + std::to_string(c.K));
        clearFloatFaults();
        const double ref = refBesselFactor(c.n, c.K);
        EXPECT_NEAR(harmonicBesselFactor(c.n, c.K), ref, c.relTol * ref + (c.K >= 0.1 ? 1e-12 : 0.0));
        EXPECT_NO_THROW(checkFloatFaults());
        // on the axis: alpha I/e N^2 gamma^2 Fn(K); into the central cone: pi alpha N I/e Qn(K)
        const double onAxis = kAlpha * (I / kE) * N * N * gamma * gamma * refFn(c.n, c.K);
        EXPECT_NEAR(onAxisFluxPerBW(c.n, c.K, N, gamma, I), onAxis, c.relTol * onAxis + 1e-6);
        const double cone = kPi * kAlpha * N * (I / kE) * refQn(c.n, c.K);
        EXPECT_NEAR(centralConeFluxPerBW(c.n, c.K, N, I), cone, c.relTol * cone + 1e-6);
    }
    EXPECT_DOUBLE_EQ(harmonicBesselFactor(1, 0.0), 1.0);
    for (int n : {-3, -1, 0, 2, 4, 10, 28}) {
        EXPECT_EQ(harmonicBesselFactor(n, 1.3), 0.0) << n;
        EXPECT_EQ(onAxisFluxPerBW(n, 1.3, 50, 5870.81, 0.1), 0.0) << n;
        EXPECT_EQ(centralConeFluxPerBW(n, 1.3, 50, 0.1), 0.0) << n;
    }
}

TEST(UndulatorSource, WorkedExampleOfThreeGeVRing) {
    Fixture f;
    auto t = f.run();
    ASSERT_EQ(f.r.completed, 16);
    EXPECT_NEAR(f.r.K, 1.0, 1e-12);
    EXPECT_NEAR(f.r.lambda1, 1.0880e-9, 0.0001e-9);
    EXPECT_NEAR(f.und.FundWaveLen, 1.0880e-9, 0.0001e-9);
    EXPECT_NEAR(f.und.FundPhotEn, 1139.1, 0.05);
    EXPECT_NEAR(f.r.power, 65.313, 0.001);
    const std::pair<const char*, const char*> texts[] = {
        {"lami", "10.9"},       {"ephi", "1.1"},          {"PowTot", "65.31"},
        {"stKPar", "   1.000"}, {"stUndLen", "   2.500"}, {"MagTyp", "hybrid"},
        {"fldmax", "   0.214"}, {"Edtxmax", "1.4"},       {"Edtmxdefl", "170.3"}};
    for (const auto& [name, text] : texts) EXPECT_EQ(t[name].text, text) << name;
    EXPECT_EQ(t["ephi"].shownUnit, "keV");
    EXPECT_EQ(t["PowTot"].shownUnit, "W");
    EXPECT_EQ(t.count("Wfield"), 0u);
    EXPECT_NEAR(f.und.ConeAngle, 2.0862e-5, 0.0001e-5);
    EXPECT_EQ(f.und.Harmonic, 1);

    // source sizes by hand: diffraction terms sqrt(lambda L)/(4 pi) and sqrt(lambda/L)
    const double l1 = f.r.lambda1, L = 2.5;
    const double sr = std::sqrt(l1 * L) / (4 * kPi), srp = std::sqrt(l1 / L);
    const double tx = std::hypot(sr, 100e-6), ty = std::hypot(sr, 10e-6);
    const double txp = std::hypot(srp, 20e-6), typ = std::hypot(srp, 3e-6);
    EXPECT_NEAR(f.magnet.SigTx, tx, 1e-15);
    EXPECT_NEAR(f.magnet.SigTyp, typ, 1e-15);
    const double p0 = 65.313 / (2 * kPi * tx * ty * 1e6);
    EXPECT_NEAR(f.r.powDensSource, p0, 1e-4 * p0);
    // at z = 1 m the diffraction divergence enters beside the total divergence
    const double pz = 65.313 / (2 * kPi) / std::sqrt(tx * tx + srp * srp + txp * txp) /
                      std::sqrt(ty * ty + srp * srp + typ * typ) / 1e6;
    EXPECT_NEAR(f.r.powDensZ, pz, 1e-4 * pz);
    // amplitude K lambda_u / (2 pi gamma), deflection K / gamma
    EXPECT_NEAR(f.r.amplitude, 0.05 / (2 * kPi * 5870.81), 1e-12);
    EXPECT_TRUE(f.messages.log.empty());
}

TEST(UndulatorSource, HarmonicZeroKAndDistance) {
    Fixture f;
    f.run();
    const UndulatorResult first = f.r;
    auto t = f.run({"3", "1.0"});
    EXPECT_NEAR(f.r.photonEnergy, 3 * first.photonEnergy, 1e-9);
    EXPECT_NEAR(f.r.wavelength, first.lambda1 / 3, 1e-22);
    EXPECT_NEAR(f.und.ConeAngle, first.coneAngle / std::sqrt(3.0), 1e-15);
    EXPECT_EQ(t["lami"].text, "3.6");
    EXPECT_EQ(f.und.Harmonic, 3);

    f.run({"1", "0"});  // at z = 0 the density downstream is the one at the source
    EXPECT_DOUBLE_EQ(f.r.powDensZ, f.r.powDensSource);

    f.magnet.BField = 0;  // K = 0
    t = f.run();
    EXPECT_DOUBLE_EQ(f.r.lambda1, 0.05 / (2 * f.beam.BeamGamma * f.beam.BeamGamma));
    EXPECT_EQ(f.r.power, 0.0);
    EXPECT_EQ(f.r.amplitude, 0.0);
    EXPECT_EQ(t["Edtmxdefl"].text, "0.0");
}

// Every digit of the field counts: 0.80265411 T on a 100 mm period is K = 93.44 B lambda_u = 7.5000
// (rounded to 0.803 T it would be 7.5032); the box shows three decimals.
TEST(UndulatorSource, ElectromagnetKeepsEveryDigitOfItsField) {
    Fixture f;
    f.magnet.MagType = "EM";
    f.magnet.BField = 0.80265411;
    f.magnet.PerLength = 0.1;
    auto t = f.run();
    EXPECT_EQ(t["Wfield"].text, "   0.803");
    EXPECT_EQ(t.count("fldmax"), 0u);
    EXPECT_NEAR(f.magnet.KValue, 7.5, 1e-6);
}

TEST(UndulatorSource, RefusalsComeBeforeAnyDivision) {
    struct Case {
        const char* what;
        int poles;
        double period;
        double energy;
        const char* harm;
        const char* error;    // InputError text, or "" for none
        const char* message;  // info box, or "" for none
        int completed;
    };
    const Case cases[] = {
        {"three poles", 3, 0.05, 3.0, "1", "", kNotUndulatorText, 0},
        {"four poles", 4, 0.05, 3.0, "1", "", "", 16},
        {"zero period", 100, 0.0, 3.0, "1", kZeroPeriodText, "", 0},
        {"zero beam energy", 100, 0.05, 0.0, "1", kZeroBeamEnergyText, "", 0},
        {"harmonic 0", 100, 0.05, 3.0, "0", kHarmonicBelowOneText, "", 7},
        {"harmonic -1", 100, 0.05, 3.0, "-1", kHarmonicBelowOneText, "", 7},
        {"harmonic not a number", 100, 0.05, 3.0, "x", "'x' is not a valid integer value", "", 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fixture f;
        f.magnet.NPoles = c.poles;
        f.magnet.NPeriods = std::max(c.poles / 2, 1);
        f.magnet.DevLength = c.poles * c.period / 2;
        f.magnet.PerLength = c.period;
        f.beam.BeamEnergy = c.energy;
        f.beam.BeamGamma = c.energy * 1e9 / 511003.0;
        EXPECT_EQ(thrown<InputError>([&] { f.run({c.harm, "1.0"}); }), c.error);
        EXPECT_EQ(f.messages.texts(), std::string(c.message).empty() ? std::vector<std::string>{}
                                                                     : std::vector<std::string>{c.message});
        EXPECT_EQ(f.r.completed, c.completed);
    }
}

TEST(UndulatorSource, UnknownMagnetTypeShowsOnlyKAndLength) {
    Fixture f;
    f.magnet.MagType = "XY";
    auto t = f.run();
    EXPECT_EQ(f.messages.texts(), std::vector<std::string>{kChooseMagnetComponentText});
    EXPECT_EQ(f.r.completed, 4);
    EXPECT_EQ(t.count("stKPar"), 1u);
    EXPECT_EQ(t.count("lami"), 0u);
    EXPECT_EQ(f.und.FundWaveLen, 0.0);
}

TEST(UndulatorSource, DistanceNotANumberKeepsEarlierResults) {
    Fixture f;
    EXPECT_THROW(f.run({"1", "abc"}), InputError);
    EXPECT_EQ(f.r.completed, 14);
    EXPECT_GT(f.r.powDensSource, 0);
}
