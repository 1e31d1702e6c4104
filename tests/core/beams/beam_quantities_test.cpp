// Derived beam quantities of circulating and single-pass records, and the seed catalogue.
#include "core/beams/beam_quantities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "../../support/thrown.h"
#include "core/beams/seed_catalogue.h"
#include "core/numerics/errors.h"

using namespace lumerad;

namespace {

CircBeamValues ring(double energy, double epsX, double epsY, double betaX, double betaY) {
    CircBeamValues v;
    v.SR = "test ring";
    v.Energy = energy;
    v.Cur = 200;
    v.Eps_x = epsX;
    v.Eps_y = epsY;
    v.Beta_x = betaX;
    v.Beta_y = betaY;
    return v;
}

}  // namespace

TEST(CircBeam, LorentzFactorCurrentAndSpreadInTheUnitsOfTheTools) {
    CurrentBeam shared;
    CircBeamValues v = ring(3, 1, 0.01, 5, 2);
    v.DE_E = 0.1;
    CircBeamDerived d = CircBeamCalcFields(v, &shared);
    EXPECT_NEAR(d.Gamma, 5870.807, 5e-4);  // 3 / 0.000511003
    EXPECT_NEAR(shared.BeamGamma, 3.0 / 0.000511003, 1e-9);
    EXPECT_DOUBLE_EQ(shared.BeamEnergy, 3.0);
    EXPECT_DOUBLE_EQ(shared.BeamCurrent, 0.2);
    EXPECT_DOUBLE_EQ(shared.EnergySpread, 0.001);
    EXPECT_DOUBLE_EQ(shared.EmitX, 1e-9);
    EXPECT_EQ(shared.BeamName, "test ring");
    EXPECT_NEAR(d.Coupl, 1.0, 1e-12);
}

TEST(CircBeam, ZeroEmittancesAndBetasTakeTheDefaults) {
    CurrentBeam shared;
    CircBeamDerived d = CircBeamCalcFields(ring(3, 0, 0, 0, 0), &shared);
    EXPECT_TRUE(d.epsXDefaulted && d.epsYDefaulted && d.betaXDefaulted && d.betaYDefaulted);
    EXPECT_NEAR(d.Eps_x, 999, 1e-9);
    EXPECT_NEAR(d.Eps_y, 999, 1e-9);
    EXPECT_DOUBLE_EQ(d.Beta_x, 10);
    EXPECT_DOUBLE_EQ(d.Coupl, 100);
    EXPECT_DOUBLE_EQ(shared.EmitX, 9.99e-7);
    EXPECT_DOUBLE_EQ(shared.BetaY, 10);
    // sqrt(9.99e-7 m * 10 m) = 3160.7 um
    EXPECT_NEAR(d.Sig_xb, std::sqrt(9.99e-6) * 1e6, 1e-6);
}

TEST(CircBeam, BeamSizesAndDivergences) {
    // Beta_x 0 uses 10 m: with Eps_x 10 nm and no dispersion, sqrt(1e-8 * 10) m = 316.23 um.
    CircBeamDerived d = CircBeamCalcFields(ring(3, 10, 1, 0, 4), nullptr);
    EXPECT_NEAR(d.Sig_xb, 316.2278, 1e-3);
    EXPECT_NEAR(d.Sig_xp, 31.62278, 1e-4);  // sqrt(1e-8 / 10) rad
    EXPECT_NEAR(d.Sig_yb, 63.24555, 1e-4);  // sqrt(1e-9 * 4)
    EXPECT_NEAR(d.Sig_yp, 15.81139, 1e-4);  // sqrt(1e-9 / 4)

    // DE/E 0.1 % and Eta_x 0.5 m add 500 um in quadrature.
    CircBeamValues v = ring(3, 10, 1, 0, 4);
    v.DE_E = 0.1;
    v.Eta_x = 0.5;
    v.Etap_x = 0.02;  // adds 20 urad in quadrature to the divergence
    v.Alpha_y = 1;    // the Twiss gamma (1 + alpha^2) / beta doubles the vertical emittance term
    d = CircBeamCalcFields(v, nullptr);
    EXPECT_NEAR(d.Sig_xb, std::hypot(316.2278, 500.0), 1e-3);
    EXPECT_NEAR(d.Sig_xp, std::hypot(31.62278, 20.0), 1e-4);
    EXPECT_NEAR(d.Sig_yp, std::sqrt(2e-9 / 4) * 1e6, 1e-6);
}

TEST(CircBeam, NegativeEmittanceOrBetaIsRefusedAndLeavesTheSharedStateAlone) {
    CurrentBeam shared;
    shared.BeamName = "before";
    shared.BeamGamma = 42;
    for (int which = 0; which < 4; ++which) {
        CircBeamValues v = ring(3, 1, 1, 1, 1);
        (which == 0 ? v.Eps_x : which == 1 ? v.Eps_y : which == 2 ? v.Beta_x : v.Beta_y) = -1;
        const std::string e = thrown<InputError>([&] { CircBeamCalcFields(v, &shared); });
        EXPECT_NE(e.find("negative"), std::string::npos) << which << ": " << e;
        EXPECT_NE(e.find("test ring"), std::string::npos) << which << ": " << e;
    }
    EXPECT_EQ(shared.BeamName, "before");
    EXPECT_EQ(shared.BeamGamma, 42);
}

TEST(CircBeam, ZeroEnergyGivesZeroGammaWithoutError) {
    CircBeamDerived d = CircBeamCalcFields(ring(0, 1, 1, 1, 1), nullptr);
    EXPECT_EQ(d.Gamma, 0);
}

TEST(SnglBeam, PeakCurrentAndBunchLengthRoundedToThreeDecimals) {
    CurrentBeam shared;
    SnglBeamValues v;
    v.Energy = 1000;
    v.PartPerBunch = 1;
    v.BunchDuration = 1000;
    SnglBeamDerived d = SnglBeamCalcFields(v, &shared);
    EXPECT_DOUBLE_EQ(d.PeakCurrent, 16.022);  // 1.602189e-19 * 1e8 / 1e-12 = 16.02189 A
    EXPECT_DOUBLE_EQ(d.BunchLength, 0.3);     // 1e-12 s * c = 0.29979 mm
    EXPECT_DOUBLE_EQ(d.gamma, 1956.93567);    // 1e9 / 511003 = 1956.935674...
    EXPECT_DOUBLE_EQ(shared.BeamEnergy, 1e9);
    EXPECT_DOUBLE_EQ(shared.NPart, 1e8);
    EXPECT_NEAR(shared.PeakCur, 16.02189, 1e-9);
    EXPECT_NEAR(shared.BunchLength, 2.99792458e-4, 1e-15);
    // zero pulse length: zero pulse and average current
    EXPECT_EQ(d.PulseCurrent, 0);
    EXPECT_EQ(d.AvgCurrent, 0);
}

TEST(SnglBeam, PulseAndAverageCurrents) {
    SnglBeamValues v;
    v.Energy = 500;
    v.PartPerBunch = 1;  // 1e8 electrons
    v.BunchesPerPulse = 100;
    v.PulseDuration = 1000;  // ns
    v.PulseRepRate = 10;     // Hz
    CurrentBeam shared;
    SnglBeamDerived d = SnglBeamCalcFields(v, &shared);
    // 1.602189e-19 C * 1e8 * 100 / 1e-6 s = 1.602189 mA; averaged: * 10 Hz * 1e-6 s = 16.02189 nA
    EXPECT_DOUBLE_EQ(d.PulseCurrent, 1.602);
    EXPECT_DOUBLE_EQ(d.AvgCurrent, 16.022);
    EXPECT_EQ(d.PeakCurrent, 0);  // no bunch duration
    EXPECT_NEAR(shared.AvgCur, 1.602189e-8, 1e-18);
    v.PartPerBunch = 0;
    d = SnglBeamCalcFields(v, nullptr);
    EXPECT_EQ(d.PulseCurrent, 0);
    EXPECT_EQ(d.AvgCurrent, 0);
}

TEST(SeedCatalogue, HoldsEveryKindOfBeamAndSource) {
    EXPECT_GE(seedRings().size(), 8u);
    EXPECT_GE(seedLinacs().size(), 4u);
    std::set<std::string> names;
    for (const SeedRing& r : seedRings()) {
        EXPECT_LE(std::strlen(r.SR), 20u) << r.SR;
        EXPECT_TRUE(names.insert(r.SR).second) << r.SR;
        EXPECT_GT(r.Energy, 0.5);
        EXPECT_GT(r.Eps_x, 0);
        EXPECT_GT(r.Eps_y, 0);
        EXPECT_LT(r.Eps_y, r.Eps_x);
        EXPECT_GT(r.DE_E, 0.03);
        EXPECT_LT(r.DE_E, 0.2);
        EXPECT_GT(r.Beta_x, 0);
        EXPECT_GT(r.Beta_y, 0);
    }
    for (const SeedLinac& l : seedLinacs()) {
        EXPECT_LE(std::strlen(l.Name), 20u) << l.Name;
        EXPECT_GT(l.Energy, 0);
        EXPECT_GT(l.PartPerBunch, 0);
        EXPECT_GT(l.BunchDuration, 0);
        EXPECT_GT(l.PulseDuration, 0);
    }
    std::set<std::string> kinds, designs;
    bool emWiggler = false;
    for (const SeedSource& s : seedSources()) {
        EXPECT_LE(std::strlen(s.Name), 30u) << s.Name;
        kinds.insert(s.SrceType);
        if (std::string(s.SrceType) == "Wig" && std::string(s.MagType) == "EM") emWiggler = true;
        if (std::string(s.MagType) == "PM") {
            designs.insert(std::string(s.SrceType) + " " + s.PermMag);
            EXPECT_GT(s.RemnFld, 0) << s.Name;
            EXPECT_GT(s.PerLen, 0) << s.Name;
            EXPECT_GT(s.Poles, 0) << s.Name;
            EXPECT_LE(s.Gap_mn, s.Gap) << s.Name;
            EXPECT_LE(s.Gap, s.Gap_mx) << s.Name;
        }
        if (std::string(s.SrceType) == "Bend") {
            EXPECT_EQ(std::string(s.MagType), "EM");
            EXPECT_GT(s.Field, 0.1);
            EXPECT_LT(s.Field, 2.0);
        }
    }
    EXPECT_EQ(kinds, (std::set<std::string>{"Bend", "Wig", "Und", "TR"}));
    EXPECT_TRUE(emWiggler);
    EXPECT_TRUE(designs.count("Wig hybrid") && designs.count("Wig REC"));
    EXPECT_TRUE(designs.count("Und hybrid") && designs.count("Und REC"));
}

TEST(SeedCatalogue, PublishedSourceSizesFollowFromTheSeededOptics) {
    // Published insertion-device source sizes: APS sigma_x 275 um, sigma_x' 11.3 urad;
    // ESRF before its upgrade (high-beta straight) sigma_x' 10.7 urad; MAX IV 3 GeV 54 um.
    auto find = [](const char* name) {
        for (const SeedRing& r : seedRings())
            if (std::string(r.SR) == name) {
                CircBeamValues v;
                v.SR = r.SR;
                v.Energy = r.Energy;
                v.Eps_x = r.Eps_x;
                v.Eps_y = r.Eps_y;
                v.DE_E = r.DE_E;
                v.Beta_x = r.Beta_x;
                v.Beta_y = r.Beta_y;
                v.Eta_x = r.Eta_x;
                return CircBeamCalcFields(v, nullptr);
            }
        ADD_FAILURE() << name << " not seeded";
        return CircBeamDerived{};
    };
    CircBeamDerived aps = find("APS");
    EXPECT_NEAR(aps.Sig_xb, 275, 275 * 0.03);
    EXPECT_NEAR(aps.Sig_xp, 11.3, 11.3 * 0.03);
    EXPECT_NEAR(find("ESRF 1994-2018").Sig_xp, 10.7, 10.7 * 0.03);
    EXPECT_NEAR(find("MAX IV 3 GeV").Sig_xb, 54, 54 * 0.03);
}

namespace {

const SeedRing* seededRing(const char* name) {
    for (const SeedRing& r : seedRings())
        if (std::string(r.SR) == name) return &r;
    return nullptr;
}

const SeedSource* seededSource(const char* name) {
    for (const SeedSource& s : seedSources())
        if (std::string(s.Name) == name) return &s;
    return nullptr;
}

}  // namespace

TEST(SeedCatalogue, EnergySpreadOfEachRingFollowsFromItsSeededDipole) {
    // Natural energy spread of a ring whose dipoles have no gradient (damping partition
    // J_e = 2) and no damping wigglers: sigma_E/E = gamma sqrt(C_q / (2 rho)), with
    // C_q = 3.832e-13 m and rho = E / (c B). The seeded dipole of the same machine fixes rho.
    const std::pair<const char*, const char*> machines[] = {
        {"ESRF 1994-2018", "ESRF dipole 0.86 T"}, {"APS", "APS dipole 0.6 T"},
        {"SPring-8", "SPring-8 dipole 0.68 T"},   {"Diamond", "Diamond dipole 1.4 T"},
        {"BESSY II", "BESSY II dipole 1.3 T"},
    };
    for (const auto& [ringName, dipoleName] : machines) {
        const SeedRing* r = seededRing(ringName);
        const SeedSource* d = seededSource(dipoleName);
        ASSERT_TRUE(r && d) << ringName;
        const double rho = r->Energy * 1e9 / (299792458.0 * d->Field);
        const double gamma = r->Energy / 0.51099895e-3;
        const double spread = gamma * std::sqrt(3.832e-13 / (2 * rho)) * 100;  // %
        EXPECT_NEAR(r->DE_E, spread, spread * 0.02) << ringName;
    }
    // Published bending-magnet critical energies (keV), E_c = 0.665 E^2 B with E in GeV.
    const std::tuple<const char*, const char*, double> critical[] = {
        {"ESRF 1994-2018", "ESRF dipole 0.86 T", 20.5}, {"APS", "APS dipole 0.6 T", 19.5},
        {"SPring-8", "SPring-8 dipole 0.68 T", 28.9},   {"Diamond", "Diamond dipole 1.4 T", 8.4},
        {"BESSY II", "BESSY II dipole 1.3 T", 2.5},     {"NSLS-II", "NSLS-II dipole 0.4 T", 2.4},
    };
    for (const auto& [ringName, dipoleName, keV] : critical) {
        const SeedRing* r = seededRing(ringName);
        const SeedSource* d = seededSource(dipoleName);
        ASSERT_TRUE(r && d) << ringName;
        EXPECT_NEAR(0.665 * r->Energy * r->Energy * d->Field, keV, keV * 0.01) << dipoleName;
    }
}

TEST(SeedCatalogue, PermanentMagnetFieldsAreWhatTheGapModelGivesAtTheSeededGap) {
    // The record's field gives the deflection parameter, the gap model the field the
    // calculators use: both must describe the same magnet. Pure rare-earth (Halbach):
    // B = 1.723 B_r exp(-pi g / lambda); hybrid: B = a exp(-x (5.47 - 1.8 x)), x = g / lambda.
    for (const SeedSource& s : seedSources()) {
        if (std::string(s.MagType) != "PM") continue;
        const double x = s.Gap / s.PerLen;
        const double model =
            std::string(s.PermMag) == "REC"
                ? 1.723 * s.RemnFld * std::exp(-3.14159265358979 * x)
                : s.RemnFld * std::exp(-std::clamp(x, 0.07, 0.7) * (5.47 - 1.8 * std::clamp(x, 0.07, 0.7)));
        EXPECT_NEAR(s.Field, model, 0.01 * model) << s.Name;
    }
    // Published design values: the European XFEL U40 reaches K = 3.9 at its 10 mm minimum
    // gap; the FLASH undulator (27.3 mm period, fixed 12 mm gap) has a 0.47 T peak field.
    const SeedSource* xfel = seededSource("XFEL undulator U40");
    const SeedSource* flash = seededSource("FLASH undulator U27");
    ASSERT_TRUE(xfel && flash);
    EXPECT_NEAR(0.934 * xfel->Field * xfel->PerLen / 10, 3.9, 0.04);
    EXPECT_EQ(xfel->Gap_mn, 10);
    EXPECT_NEAR(flash->Field, 0.47, 0.005);
    EXPECT_EQ(flash->Gap, 12);
}
