#include "core/sources/bending_magnet.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/tabulated.h"

using namespace lumerad;

namespace {

using testref::table;

// A 3 GeV, 100 mA ring and a 1.2 T bending magnet.
struct Fixture {
    CurrentBeam beam;
    MagnetState magnet;
    double crit = -1, rbw = -1;
    BendingMagnetResult r;
    Fixture() {
        beam = {.BeamName = "test ring",
                .BeamEnergy = 3.0,
                .BeamGamma = 3.0e9 / 511003.0,
                .BeamCurrent = 0.1,
                .SigXb = 100e-6,
                .SigYb = 20e-6,
                .SigXp = 50e-6,
                .SigYp = 5e-6};
        magnet.BField = 1.2;
        magnet.NPoles = 7;
    }
    std::map<std::string, std::string> run(const BendingMagnetInputs& in = {}) {
        clearFloatFaults();
        RecalcSRPar(in, beam, magnet, table(), crit, rbw, r);
        std::map<std::string, std::string> t;
        for (auto& [k, v] : BendingMagnetTexts(r)) t[k] = v;
        return t;
    }
};

}  // namespace

TEST(BendingMagnet, ThreeGeVOnePointTwoTesla) {
    Fixture f;
    auto t = f.run();
    EXPECT_EQ(f.r.completed, 18);
    EXPECT_EQ(f.magnet.NPoles, 1);
    // eps_c = 665 * 9 * 1.2 = 7182 eV; 1 Angstrom is 12398.5 eV; P = 88575 * 81 * 0.1 / 8.339 m
    // = 86.03 kW, per mrad 13.69 W
    EXPECT_DOUBLE_EQ(f.crit, 7182.0);
    EXPECT_NEAR(f.r.photonEnergy, 12398.5, 0.05);
    EXPECT_DOUBLE_EQ(f.rbw, 0.001);
    const std::pair<const char*, const char*> texts[] = {
        {"Ephcrit", "7.182"},       {"LeV", "keV"},
        {"Lamcrit", "1.726"},       {"EdtRho", "   8.339"},
        {"edRigidity", "  10.007"}, {"EdtPhEnergy", "12.399"},
        {"LPhotEn", "keV"},         {"Edtxi", "1.726"},
        {"PowTot", "86.03"},        {"lW", "kW;"},
        {"Pow_mr", "13.69"},        {"lWmr", "W/mr"}};
    for (const auto& [name, text] : texts) EXPECT_EQ(t[name], text) << name;
    // on the axis there is no pi mode
    EXPECT_EQ(f.r.densPi, 0.0);
    EXPECT_EQ(f.r.densTotal, f.r.densSigma);
    EXPECT_EQ(t["AngPhDenPi"], "0.00E+00");
    EXPECT_EQ(t["AngPhDen"], t["AngPhDenSig"]);
}

TEST(BendingMagnet, FluxAndDensitiesAgainstIndependentFunctions) {
    Fixture f;
    BendingMagnetInputs in{.WaveLength = "2.0", .VerObsAng = "0.5"};
    auto t = f.run(in);
    const double E = 3.0, I = 0.1, eps = 6.626176e-34 * 299792458 / 1.602189e-19 / 2e-10;
    const double xi = eps / 7182.0;
    const double flux = 3.967e19 * E * I * 0.001 * testref::S(xi) / 1000;
    EXPECT_NEAR(f.r.flux, flux, 1e-5 * flux);
    const double X = 0.25, Y = 1.25, eta = xi / 2 * std::pow(Y, 1.5);
    const double A = xi * xi * E * E * 1.3273e22 * I * 0.001 * 1e-6;
    const double ds = std::pow(testref::K23(eta) * Y, 2) * A;
    const double dp = std::pow(testref::K13(eta), 2) * A * Y * X;
    EXPECT_NEAR(f.r.densSigma, ds, 1e-5 * ds);
    EXPECT_NEAR(f.r.densPi, dp, 1e-5 * dp);
    EXPECT_NEAR(f.r.densTotal, ds + dp, 1e-5 * (ds + dp));
    // the opening angle comes from the density on the axis, whatever the observation angle
    const double sig = 3.967e19 * testref::S(xi) / 1.3273e22 / std::sqrt(2 * M_PI) /
                       std::pow(xi * testref::K23(xi / 2), 2) / E;
    EXPECT_NEAR(f.r.sigPsi, sig, 2e-5 * sig);
    in.VerObsAng = "3.0";  // far off the axis, where K2/3 at the observation angle is ~1e-11
    f.run(in);
    EXPECT_NEAR(f.r.sigPsi, sig, 2e-5 * sig);
    EXPECT_EQ(t["PhFlux"].size(), 8u);  // d.ddE+xx
}

TEST(BendingMagnet, BandWidthScalesFluxButNotOpeningAngle) {
    Fixture f;
    f.run();
    const auto first = f.r;
    f.run({.edBandW = "0.2"});
    EXPECT_DOUBLE_EQ(f.rbw, 0.002);
    EXPECT_NEAR(f.r.flux, 2 * first.flux, 1e-12 * first.flux);
    EXPECT_NEAR(f.r.densSigma, 2 * first.densSigma, 1e-12 * first.densSigma);
    EXPECT_DOUBLE_EQ(f.r.sigPsi, first.sigPsi);
}

// The power against the textbook's 88575 E^4 / rho W per A; the densities, which spread it over
// the beam and the fan, at 10 m and at normal incidence, or at 30 degrees: half of it.
TEST(BendingMagnet, PowerDensities) {
    Fixture f;
    BendingMagnetInputs in{.edDist = "10.0"};
    f.run(in);
    const double P = f.r.power, pz = f.r.powDensZ;
    EXPECT_NEAR(P, 88575.0 * 81 * 0.1 / (3.0 / (0.29979 * 1.2)), 1e-9 * P);
    EXPECT_LT(pz, f.r.powDensSource);
    EXPECT_NEAR(f.r.powDensInclined, pz, 1e-12 * pz);
    in.edIncAng = "30";
    f.run(in);
    EXPECT_NEAR(f.r.powDensInclined, pz / 2, 1e-12 * pz);
}

// A wavelength of 1 mm (1.24e-3 eV) is below 1e-6 of the critical energy: the calculation
// takes 1e-6 of it. A negative field has a negative critical energy and no critical wavelength.
TEST(BendingMagnet, VeryLongWavelengthUsesAMillionthOfTheCriticalEnergy) {
    for (double field : {1.2, -1.2}) {
        Fixture f;
        f.magnet.BField = field;
        BendingMagnetInputs in;
        if (field > 0) in.WaveLength = "10000000";
        auto t = f.run(in);
        EXPECT_EQ(f.r.xi, 1e-6);
        EXPECT_DOUBLE_EQ(f.r.photonEnergy, field / 1.2 * 7182e-6);
        EXPECT_EQ(t["Lamcrit"], field > 0 ? "1.726" : "");
        if (field > 0) {
            EXPECT_EQ(t["EdtPhEnergy"], "0.007182");
            EXPECT_EQ(t["LPhotEn"], "eV");
        }
    }
}

TEST(BendingMagnet, FailuresStopAtTheirStepAndKeepWhatCameBefore) {
    // zero field: division by zero in the bending radius (step 3)
    Fixture f;
    f.magnet.BField = 0;
    EXPECT_EQ(thrown<FloatError>([&] { f.run(); }), "Floating point division by zero");
    EXPECT_EQ(f.r.completed, 2);
    EXPECT_EQ(f.crit, -1);  // not written
    EXPECT_TRUE(BendingMagnetTexts(f.r).empty());

    // zero beam energy (and so zero gamma): stops in step 2
    Fixture z;
    z.beam.BeamEnergy = 0;
    z.beam.BeamGamma = 0;
    EXPECT_THROW(z.run(), FloatError);
    EXPECT_EQ(z.r.completed, 1);

    // a text that is not a number in the distance: everything up to step 16 is shown
    Fixture d;
    EXPECT_EQ(thrown<InputError>([&] { d.run({.edDist = "1,0"}); }),
              "'1,0' is not a valid floating point value");
    EXPECT_EQ(d.r.completed, 16);
    auto t = BendingMagnetTexts(d.r);
    EXPECT_EQ(t.back().first, "lWmm");
    EXPECT_DOUBLE_EQ(d.crit, 7182.0);
}

TEST(BendingMagnet, RadiusFromTheFieldEdit) {
    EXPECT_NEAR(BendingRadiusFromField(3.0, 1.2), 3.0 / 0.299792458 / 1.2, 1e-12);
    clearFloatFaults();
    EXPECT_THROW(BendingRadiusFromField(3.0, 0.0), FloatError);
}

// A negative band width would give a negative flux, a wavelength of 0 or below has no
// photon energy: both are refused where they are read, naming their field.
TEST(BendingMagnet, RefusesNegativeBandWidthAndNonPositiveWavelength) {
    struct Case {
        const char* wave;
        const char* band;
        const char* field;
        const char* text;
        int completed;  // the step before the refusal
    } cases[] = {
        {"1.0", "-5", "edBandW", "the band width must not be negative!", 8},
        {"0", "0.1", "WaveLength", "the photon wavelength must be greater than 0 Å!", 6},
        {"-1.0", "0.1", "WaveLength", "the photon wavelength must be greater than 0 Å!", 6},
    };
    for (const auto& c : cases) {
        Fixture f;
        try {
            f.run({.WaveLength = c.wave, .edBandW = c.band});
            ADD_FAILURE() << c.wave << " " << c.band << " accepted";
        } catch (const InputError& e) {
            EXPECT_STREQ(e.what(), c.text);
            EXPECT_EQ(e.field(), c.field);
        }
        EXPECT_EQ(f.r.completed, c.completed);
        EXPECT_EQ(f.r.flux, 0.0);
    }
    Fixture f;  // a band width of 0 is no flux, not an error
    f.run({.edBandW = "0"});
    EXPECT_EQ(f.r.flux, 0.0);
}
