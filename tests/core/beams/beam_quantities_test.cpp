// Derived beam quantities of circulating and single-pass records, the physical limits of
// catalogue records, and the seed catalogue (published parameters) against both.
#include "core/beams/beam_quantities.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <string>
#include <tuple>

#include "../../support/thrown.h"
#include "core/beams/record_limits.h"
#include "core/beams/seed_catalogue.h"
#include "core/numerics/errors.h"

using namespace lumerad;

namespace {

CircBeamValues ring(double energy = 3, double epsX = 2.7, double epsY = 0.008, double betaX = 10,
                    double betaY = 3) {
    return {.SR = "test ring",
            .Energy = energy,
            .Cur = 200,
            .Eps_x = epsX,
            .Eps_y = epsY,
            .Beta_x = betaX,
            .Beta_y = betaY};
}

double val(double v) { return v == kNoValue ? 0.0 : v; }

// A seeded ring as the catalogue record it becomes; its dipole and sources by name.
CircBeamValues values(const SeedRing& s) {
    CircBeamValues v;
    v.SR = s.SR;
    v.Energy = val(s.Energy), v.Cur = val(s.Cur), v.Eps_x = val(s.Eps_x), v.Eps_y = val(s.Eps_y);
    v.DE_E = val(s.DE_E), v.Beta_x = val(s.Beta_x), v.Alpha_x = val(s.Alpha_x);
    v.Beta_y = val(s.Beta_y), v.Alpha_y = val(s.Alpha_y), v.Eta_x = val(s.Eta_x);
    v.Etap_x = val(s.Etap_x), v.Eta_y = val(s.Eta_y), v.Etap_y = val(s.Etap_y);
    return v;
}

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
    SnglBeamDerived d = SnglBeamCalcFields(
        {.Name = "linac", .Energy = 1000, .PartPerBunch = 1, .BunchDuration = 1000}, &shared);
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
    // 1e8 electrons, 100 bunches in 1000 ns, 10 pulses a second
    SnglBeamValues v{.Name = "linac",
                     .Energy = 500,
                     .PartPerBunch = 1,
                     .PulseDuration = 1000,
                     .PulseRepRate = 10,
                     .BunchesPerPulse = 100};
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
    // (signs and ranges of every value: EverySeededRecordPasses)
    for (const SeedRing& r : seedRings()) {
        EXPECT_LE(std::strlen(r.SR), 20u) << r.SR;
        EXPECT_TRUE(names.insert(r.SR).second) << r.SR;
        EXPECT_LT(r.Eps_y, r.Eps_x) << r.SR;
        EXPECT_GT(r.DE_E, 0.03) << r.SR;
    }
    for (const SeedLinac& l : seedLinacs()) EXPECT_LE(std::strlen(l.Name), 20u) << l.Name;
    std::set<std::string> kinds, designs;
    bool emWiggler = false;
    for (const SeedSource& s : seedSources()) {
        EXPECT_LE(std::strlen(s.Name), 30u) << s.Name;
        kinds.insert(s.SrceType);
        if (std::string(s.SrceType) == "Wig" && std::string(s.MagType) == "EM") emWiggler = true;
        if (std::string(s.MagType) == "PM") {
            designs.insert(std::string(s.SrceType) + " " + s.PermMag);
            EXPECT_GT(s.Poles, 0) << s.Name;
            EXPECT_TRUE(s.Gap_mn <= s.Gap && s.Gap <= s.Gap_mx) << s.Name;
        }
        EXPECT_TRUE(std::string(s.SrceType) != "Bend" || std::string(s.MagType) == "EM") << s.Name;
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
        const SeedRing* r = seededRing(name);
        if (!r) ADD_FAILURE() << name << " not seeded";
        return r ? CircBeamCalcFields(values(*r), nullptr) : CircBeamDerived{};
    };
    CircBeamDerived aps = find("APS");
    EXPECT_NEAR(aps.Sig_xb, 275, 275 * 0.03);
    EXPECT_NEAR(aps.Sig_xp, 11.3, 11.3 * 0.03);
    EXPECT_NEAR(find("ESRF 1994-2018").Sig_xp, 10.7, 10.7 * 0.03);
    EXPECT_NEAR(find("MAX IV 3 GeV").Sig_xb, 54, 54 * 0.03);
}

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

namespace {

SourceRecord magnet(const char* magType, const char* kind, double field, double perLen) {
    SourceRecord r;
    r.Name = "m";
    r.MagType = magType;
    r.SrceType = kind;
    r.Field = field;
    r.PerLen = perLen;
    r.Gap = 10;
    return r;
}

// One value of a record changed, and the field its limits name (nullptr: accepted); the text
// of a refusal starts with the field.
template <class Record>
struct Change {
    double Record::*member;
    double value;
    const char* field;
};

template <class Record, class Breach>
void expectBreaches(const Record& base, std::initializer_list<Change<Record>> cases, Breach breach) {
    for (const auto& c : cases) {
        Record v = base;
        v.*c.member = c.value;
        const auto b = breach(v);
        if (!c.field) {
            EXPECT_FALSE(b) << b->text;
            continue;
        }
        ASSERT_TRUE(b) << c.field << " " << c.value;
        EXPECT_EQ(b->field, c.field);
        EXPECT_EQ(b->text.rfind(std::string(c.field) + ": ", 0), 0u) << b->text;
    }
}

}  // namespace

TEST(RecordLimits, CirculatingBeam) {
    using V = CircBeamValues;
    CircBeamValues v = ring();
    EXPECT_FALSE(circBeamBreach(v));
    expectBreaches<V>(v,
                      {{&V::Energy, 0, "Energy"},
                       {&V::Energy, -3, "Energy"},
                       {&V::Energy, 0.000511003, "Energy"},  // exactly the rest energy: gamma = 1
                       {&V::Energy, 0.000512, nullptr},
                       {&V::Energy, NAN, "Energy"},
                       {&V::Cur, -1, "Cur"},
                       {&V::Cur, 0, nullptr},
                       {&V::Eps_x, -0.1, "Eps_x"},
                       {&V::Eps_y, -0.1, "Eps_y"},
                       {&V::DE_E, -0.1, "DE/E"},
                       {&V::Beta_x, -1, "Beta_x"},
                       {&V::Beta_y, -1, "Beta_y"},
                       {&V::Beta_y, 0, nullptr},  // 0: the default beta
                       {&V::Alpha_x, -2, nullptr},
                       {&V::Eta_x, INFINITY, "Eta_x"}},
                      circBeamBreach);
    for (const char* name : {"", "   "}) {
        v.SR = name;
        EXPECT_EQ(circBeamBreach(v)->field, "SR");
    }
    EXPECT_EQ(circBeamBreach(ring(0))->text,
              "Energy: the beam energy must be above the electron rest energy, 0.000511003 GeV");
}

TEST(RecordLimits, SinglePassBeam) {
    using V = SnglBeamValues;
    const SnglBeamValues v{.Name = "linac", .Energy = 1000, .PartPerBunch = 6};
    EXPECT_FALSE(snglBeamBreach(v));
    expectBreaches<V>(v,
                      {{&V::Energy, 0, "Energy"},
                       {&V::Energy, 0.5, "Energy"},  // MeV, below 0.511
                       {&V::Energy, 0.52, nullptr},
                       {&V::PartPerBunch, -1, "Part/Bunch"},
                       {&V::PulseDuration, -1, "PulseDuration"},
                       {&V::PulseRepRate, -1, "PulseRepRate"},
                       {&V::BunchesPerPulse, -1, "Bunches/Pulse"},
                       {&V::BunchDuration, -1, "BunchDuration"}},
                      snglBeamBreach);
}

TEST(RecordLimits, Sources) {
    struct Case {
        SourceRecord rec;
        const char* field;
    } cases[] = {
        {magnet("EM", "Bend", 1.4, 0), nullptr},
        {magnet("EM", "Bend", 0, 0), "Field"},  // an electromagnet without field
        {magnet("EM", "Bend", -1.4, 0), "Field"},
        {magnet("EM", "Bend", 101, 0), "Field"},
        {magnet("PM", "Und", 0, 35), nullptr},  // a permanent magnet's field follows from its gap
        {magnet("pm", "und", 0, 35), nullptr},  // kinds compare without case
        {magnet("PM", "Und", 1, 0), "PerLen"},  // an undulator needs its period
        {magnet("EM", "Wig", 1, -5), "PerLen"},
        {magnet("EM", "Bend", 1, 20000), "PerLen"},
    };
    for (const auto& c : cases) {
        const auto b = sourceBreach(c.rec);
        if (!c.field) {
            EXPECT_FALSE(b) << b->text;
        } else {
            ASSERT_TRUE(b) << c.rec.Field << " " << c.rec.PerLen;
            EXPECT_EQ(b->field, c.field);
        }
    }
    SourceRecord r = magnet("PM", "Und", 0.7, 35);
    r.RemnFld = -1;
    EXPECT_EQ(sourceBreach(r)->field, "RemnFld");
    r.RemnFld = 1.2;
    r.Poles = -2;
    EXPECT_EQ(sourceBreach(r)->field, "#Poles");
    r.Poles = 90;
    r.Gap = -1;
    EXPECT_EQ(sourceBreach(r)->field, "Gap");
}

TEST(RecordLimits, EverySeededRecordPasses) {
    for (const SeedRing& s : seedRings()) {
        const auto b = circBeamBreach(values(s));
        EXPECT_FALSE(b) << s.SR << ": " << b->text;
    }
    for (const SeedLinac& s : seedLinacs()) {
        SnglBeamValues v;
        v.Name = s.Name;
        v.Energy = val(s.Energy), v.PartPerBunch = val(s.PartPerBunch),
        v.PulseDuration = val(s.PulseDuration);
        v.PulseRepRate = val(s.PulseRepRate), v.BunchesPerPulse = val(s.BunchesPerPulse);
        v.BunchDuration = val(s.BunchDuration);
        const auto b = snglBeamBreach(v);
        EXPECT_FALSE(b) << s.Name << ": " << b->text;
    }
    for (const SeedSource& s : seedSources()) {
        SourceRecord r;
        r.Name = s.Name, r.MagType = s.MagType, r.SrceType = s.SrceType, r.PermMag = s.PermMag;
        r.Field = val(s.Field), r.RemnFld = val(s.RemnFld), r.Poles = s.Poles, r.PerLen = val(s.PerLen);
        r.Gap = val(s.Gap), r.Gap_mn = val(s.Gap_mn), r.Gap_mx = val(s.Gap_mx);
        const auto b = sourceBreach(r);
        EXPECT_FALSE(b) << s.Name << ": " << b->text;
    }
}
