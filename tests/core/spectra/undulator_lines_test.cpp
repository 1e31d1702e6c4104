#include "core/spectra/undulator_lines.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "../../support/thrown.h"
#include "../undulator_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/text_to_number.h"
#include "core/sources/magnet_model.h"
#include "core/sources/undulator.h"

using namespace lumerad;
using namespace lumerad::undtest;

namespace {

// Photon source of harmonic n: diffraction terms sqrt(lambda L)/(2 pi) and sqrt(lambda/L),
// each halved in quadrature beside the electron beam.
struct RefSource {
    double tx, ty, txp, typ;
    RefSource(double lambda, double L, double sx, double sy, double sxp, double syp) {
        const double r = std::sqrt(lambda * L) / (2 * kPi), rp = std::sqrt(lambda / L);
        tx = std::sqrt(r * r / 2 + sx * sx);
        ty = std::sqrt(r * r / 2 + sy * sy);
        txp = std::sqrt(rp * rp / 2 + sxp * sxp);
        typ = std::sqrt(rp * rp / 2 + syp * syp);
    }
    double area() const { return 2 * kPi * tx * ty * 1e6; }          // mm^2
    double solidAngle() const { return 2 * kPi * txp * typ * 1e6; }  // mrad^2
};

// The 3 GeV, 100 mA ring and 50-period, 50 mm undulator of the worked examples at K = 1,
// with the undulator state its calculation leaves.
struct World {
    CurrentBeam beam;
    MagnetState magnet;
    UndulatorState und;
    RecordingMessages messages;
    double rbw = 0;
    LineListState list;
    World() {
        workedExampleRing(beam, magnet);
        beam.BeamName = "Test ring";
        beam.EmitX = 2e-9;
        beam.SigXb = 120e-6;
        beam.SigYb = 8e-6;
        beam.SigXp = 25e-6;
        beam.SigYp = 4e-6;
        magnet.SrcName = "U50";
        magnet.RemnField = 3.33;
        magnet.KValue = 1.0;
        und.FundWaveLen = 0.05 / (2 * beam.BeamGamma * beam.BeamGamma) * 1.5;
        und.FundPhotEn = 12394.0 / (und.FundWaveLen * 1e10);
        und.ConeAngle = std::sqrt(1.5 / 100) / beam.BeamGamma;
        und.Harmonic = 1;
    }
    double lambda1() const { return und.FundWaveLen; }
    bool list1(const char* from, const char* to, int quantity = kLineFlux, const char* bw = "0.1",
               LineListResult* out = nullptr) {
        LineListResult r;
        clearFloatFaults();
        const bool ok =
            LineListCalculate({bw, from, to, quantity}, beam, magnet, und, rbw, list, messages, r);
        if (out) *out = r;
        return ok;
    }
};

std::map<std::string, std::string> texts(const ResultFields& f) {
    std::map<std::string, std::string> t;
    for (const auto& x : f) t[x.name] = x.text;
    return t;
}

}  // namespace

// --- flux of one harmonic

TEST(UndulatorFlux, WorkedExampleOfTheFundamental) {
    World w;
    UndFluxResult r;
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, r);
    EXPECT_NEAR(r.FOmega, 1.4445e23, 0.0001e23);
    EXPECT_NEAR(r.F, 3.9499e14, 0.0001e14);
    auto t = texts(UndFluxTexts(r));
    EXPECT_EQ(t["LDifPhFlx"], "1.444E23");
    EXPECT_EQ(t["LfLUX"], " 3.95E14");
    EXPECT_EQ(t["LsigTheta"], "  20.862");
    EXPECT_EQ(t["TLPhEn"], "1139.137");
}

TEST(UndulatorFlux, BrightnessOfAHarmonicUsesItsOwnWavelength) {
    World w;
    w.und.Harmonic = 3;
    w.und.ConeAngle = std::sqrt(1.5 / 300) / w.beam.BeamGamma;
    UndFluxResult r;
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, r);
    const double l3 = w.lambda1() / 3;
    const RefSource s(l3, 2.5, 120e-6, 8e-6, 25e-6, 4e-6);
    const double a = 50 * w.beam.BeamGamma * 3 * 1.0 / 1.5;
    const double fOmega = kAlpha * (0.1 / kE) * a * a * refBesselFactor(3, 1.0) * 0.001;
    const double F = fOmega * 2 * kPi * w.und.ConeAngle * w.und.ConeAngle;
    const double B = 1e-12 * F / (4 * kPi * kPi * s.tx * s.txp * s.ty * s.typ);
    const double Bd = 4e-12 * F / (l3 * l3);
    EXPECT_NEAR(r.FOmega, fOmega, 1e-6 * fOmega);
    EXPECT_NEAR(r.D, F / (2 * kPi * s.tx * s.ty), 1e-6 * r.D);  // the peak of the Gaussian spot
    EXPECT_NEAR(r.B, B, 1e-6 * B);
    EXPECT_NEAR(r.Bd, Bd, 1e-6 * Bd);
    EXPECT_NEAR(r.eta, l3 * l3 / (16 * kPi * kPi * s.tx * s.txp * s.ty * s.typ), 1e-6 * r.eta);
    EXPECT_NEAR(w.magnet.SigTx, s.tx, 1e-15);  // the sizes of the harmonic stay in the state
}

TEST(UndulatorFlux, BandWidthCurrentEvenHarmonicsAndDiffractionLimit) {
    World w;
    UndFluxResult a, b;
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, a);
    UndFluxCalculate("0.2", w.beam, w.magnet, w.und, b);
    for (auto [x, y] : {std::pair{a.FOmega, b.FOmega}, {a.F, b.F}, {a.D, b.D}, {a.B, b.B}, {a.Bd, b.Bd}})
        EXPECT_NEAR(y, 2 * x, 1e-9 * y);
    EXPECT_NEAR(b.eta, a.eta, 1e-12);
    w.beam.BeamCurrent = 0.3;
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, b);
    EXPECT_NEAR(b.eta, a.eta, 1e-12);

    // A beam of no size: the source is the diffraction limit of the harmonic, fully coherent.
    w.beam.SigXb = w.beam.SigYb = w.beam.SigXp = w.beam.SigYp = 0;
    for (int n : {1, 3, 5}) {
        w.und.Harmonic = n;
        UndFluxCalculate("0.1", w.beam, w.magnet, w.und, b);
        EXPECT_NEAR(b.eta, 1.0, 1e-12) << n;
    }
    w.und.Harmonic = 2;  // even: nothing on the axis
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, b);
    EXPECT_EQ(b.FOmega, 0.0);
    EXPECT_EQ(b.F, 0.0);
    EXPECT_EQ(b.eta, 0.0);
    EXPECT_EQ(texts(UndFluxTexts(b))["LCohFraction"], "   0.000");
}

TEST(UndulatorFlux, RefusedBeforeAnyUndulatorCalculation) {
    World w;
    w.und = UndulatorState{};  // the state at program start
    UndFluxResult r;
    EXPECT_EQ(thrown<InputError>([&] { UndFluxCalculate("0.1", w.beam, w.magnet, w.und, r); }),
              kNoUndulatorYetText);
    EXPECT_EQ(r.completed, 0);
    // a band width of 0 or below would give no flux or a negative one
    for (const char* bw : {"0", "-0.1"}) {
        UndFluxResult b;
        EXPECT_EQ(thrown<InputError>([&] { UndFluxCalculate(bw, World().beam, w.magnet, World().und, b); }),
                  kPositiveBandWidthText)
            << bw;
        World x;
        const double before = x.rbw = 0.5;
        EXPECT_EQ(thrown<InputError>([&] { x.list1("1", "3", kLineFlux, bw); }), kPositiveBandWidthText)
            << bw;
        EXPECT_EQ(x.rbw, before);
        EXPECT_FALSE(x.list.accepted);
    }
    w.und.FundWaveLen = 1e-9;
    EXPECT_THROW(UndFluxCalculate("abc", w.beam, w.magnet, w.und, r), InputError);
    EXPECT_EQ(r.completed, 1);  // the header of the harmonic is written before the band width is read
}

// --- line spectrum

TEST(UndulatorLines, WorkedExampleAndTheRowsOfOneToNine) {
    World w;
    LineListResult r;
    ASSERT_TRUE(w.list1("1", "9", kLineFlux, "0.1", &r));
    const double F1 = kPi * kAlpha * 50 * (0.1 / kE) * 0.001 * refBesselFactor(1, 1.0) / 1.5;
    EXPECT_NEAR(F1, 3.9499e14, 0.0001e14);
    EXPECT_NEAR(w.list.F[1], F1, 1e-6 * F1);
    ASSERT_EQ(r.rows.size(), 5u);
    const int want[] = {1, 3, 5, 7, 9};
    for (int k = 0; k < 5; ++k) {
        const int n = want[k];
        EXPECT_EQ(r.rows[k][0], std::to_string(n));
        const double Fn = kPi * kAlpha * 50 * (0.1 / kE) * 0.001 * n * refBesselFactor(n, 1.0) / 1.5;
        EXPECT_NEAR(w.list.F[n], Fn, 1e-6 * Fn) << n;
        EXPECT_NEAR(w.list.eps[n], n * 12394.0 / (w.lambda1() * 1e10), 1e-9) << n;
        EXPECT_NEAR(w.list.w[n], 1.0 / (n * 50), 1e-15) << n;  // no energy spread
    }
    EXPECT_EQ(r.rows[0][3], "   2.000");
    EXPECT_EQ(r.rows[1][2], "   3.627");
    auto t = texts(r.header);
    EXPECT_EQ(t["lam0"], "   10.88");
    EXPECT_EQ(t["ephif"], " 1.025E4 eV");
    EXPECT_DOUBLE_EQ(w.rbw, 0.001);
    EXPECT_EQ(w.list.harmonics(), (std::vector<int>{1, 3, 5, 7, 9}));
}

TEST(UndulatorLines, QuantitiesAndEnergySpread) {
    World w;
    w.beam.EnergySpread = 1e-3;
    const int n = 5;
    const double cone =
        kPi * kAlpha * 50 * (0.1 / kE) * 0.001 * n * refBesselFactor(n, 1.0) / 1.5 / (2 * 50 * n * 1e-3 + 1);
    const RefSource s(w.lambda1() / n, 2.5, 120e-6, 8e-6, 25e-6, 4e-6);
    const double g2 = w.beam.BeamGamma * w.beam.BeamGamma;
    const double expected[] = {g2 * cone / kPi * 50 * n / 1.5, cone, cone / s.area(),
                               cone / s.area() / s.solidAngle()};
    for (int q = 0; q < 4; ++q) {
        ASSERT_TRUE(w.list1("5", "5", q));
        EXPECT_NEAR(w.list.F[n], expected[q], 1e-6 * expected[q]) << q;
    }
    EXPECT_NEAR(w.list.w[n], std::sqrt(4e-6 * 2 * kPi + 1.0 / (250.0 * 250.0)), 1e-15);
    // with no energy spread the angular flux of the list is the on-axis flux of the flux window
    w.beam.EnergySpread = 0;
    ASSERT_TRUE(w.list1("1", "1", kLineAngularFlux));
    EXPECT_NEAR(w.list.F[1], 1.4445e23, 0.0001e23);
    // ... and the flux window's flux density and brightness are the list's (F/(2 pi Sx Sy) in both)
    UndFluxResult r;
    UndFluxCalculate("0.1", w.beam, w.magnet, w.und, r);
    for (auto [q, v] : {std::pair{kLineFluxDensity, r.D * 1e-6}, std::pair{kLineBrightness, r.B}}) {
        ASSERT_TRUE(w.list1("1", "1", q));
        EXPECT_NEAR(w.list.F[1] / v, 1.0, 1e-12) << q;
    }
}

TEST(UndulatorLines, RangesRefusedBeforeAnyWorkKeepTheLastList) {
    World w;
    ASSERT_TRUE(w.list1("1", "9"));
    const LineListState kept = w.list;
    struct Case {
        const char* from;
        const char* to;
        const char* message;
    };
    const Case cases[] = {
        {"0", "9", kFirstHarmonicText},   {"-1", "9", kFirstHarmonicText}, {"2", "9", kFirstHarmonicText},
        {"31", "31", kFirstHarmonicText}, {"1", "30", kOddHarmonicText},   {"1", "31", kOddHarmonicText},
        {"1", "8", kOddHarmonicText},     {"1", "0", kLastHarmonicText},   {"1", "-3", kLastHarmonicText},
    };
    for (const Case& c : cases) {
        w.messages.clear();
        w.und.FundPhotEn = 1.0;
        LineListResult r;
        EXPECT_FALSE(w.list1(c.from, c.to, kLineBrightness, "0.1", &r)) << c.from << ".." << c.to;
        EXPECT_EQ(r.refusedHarmonic, c.message == kFirstHarmonicText ? 1 : 2);
        EXPECT_EQ(w.messages.texts(), std::vector<std::string>{c.message});
        EXPECT_EQ(w.list.iFrom, 1);
        EXPECT_EQ(w.list.iTo, 9);
        EXPECT_EQ(w.list.F, kept.F);
        EXPECT_EQ(w.und.FundPhotEn, 1.0);  // nothing of the list was worked on
    }
    EXPECT_THROW(w.list1("a", "9"), InputError);
    // accepted edges: the last table entry, and a first harmonic above the last one
    LineListResult r;
    EXPECT_TRUE(w.list1("1", "29", kLineFlux, "0.1", &r));
    EXPECT_EQ(r.rows.size(), 15u);
    EXPECT_TRUE(w.list1("5", "1", kLineFlux, "0.1", &r));
    ASSERT_EQ(r.rows.size(), 1u);
    EXPECT_EQ(r.rows[0][0], "5");
    EXPECT_EQ(w.list.harmonics(), std::vector<int>{5});
    w.und = UndulatorState{};
    EXPECT_THROW(w.list1("1", "9"), InputError);
}

// --- tuning scans

TEST(UndulatorScan, KScanAgainstKOverThreeHarmonics) {
    World w;
    ASSERT_TRUE(w.list1("1", "5"));
    const TuningScanInputs in{.kind = ScanKind::K, .abscissa = ScanAbscissa::K, .quantity = kLineFlux};
    const MagnetState before = w.magnet;
    const double fundPhotEn = w.und.FundPhotEn;
    const TuningScanResult r = TuningScanCalculate(in, w.list, w.beam, w.magnet, w.rbw, w.messages);
    ASSERT_EQ(r.curves.size(), 3u);
    for (int c = 0; c < 3; ++c) {
        const TuningCurve& curve = r.curves[c];
        const int n = 2 * c + 1;
        EXPECT_EQ(curve.harmonic, n);
        ASSERT_EQ(curve.x.size(), 101u);
        for (int j = 0; j <= 100; j += 10) {
            const double K = 0.05 * j;
            EXPECT_NEAR(curve.x[j], K, 1e-12);
            const double F =
                kPi * kAlpha * 50 * (0.1 / kE) * 0.001 * n * K * K / (1 + K * K / 2) * refBesselFactor(n, K);
            EXPECT_NEAR(curve.y[j], F, 1e-6 * F + 1e-300) << n << " " << K;
        }
        EXPECT_EQ(curve.y[0], 0.0);
    }
    const auto& info = r.curves[1].info;
    ASSERT_EQ(info.size(), 12u);
    EXPECT_EQ(info[10].second, "harmonic number      3");
    EXPECT_EQ(info[11].second, "variation of K     5.000 to  0.000");
    // the shared state is the one before the scan
    EXPECT_EQ(w.magnet.KValue, before.KValue);
    EXPECT_EQ(w.magnet.SigTx, before.SigTx);
    EXPECT_EQ(w.und.FundPhotEn, fundPhotEn);
}

TEST(UndulatorScan, PointsUseTheirOwnWavelengthAndAbscissa) {
    World w;
    TuningScanContext c{.kind = ScanKind::K,
                        .quantity = kLineBrightness,
                        .t = 0.05 / (2 * w.beam.BeamGamma * w.beam.BeamGamma),
                        .relBandWidth = 0.001,
                        .beam = &w.beam};
    MagnetState m = w.magnet;
    const double K = 2.0, l1 = (1 + K * K / 2) * c.t;
    c.abscissa = ScanAbscissa::PhotonEnergy;
    TuningPoint p = tuningScanPoint(c, 3, K, m, w.messages);
    EXPECT_NEAR(p.X, 3 * 12394.0 / (l1 * 1e10), 1e-9);
    const RefSource s(l1 / 3, 2.5, 120e-6, 8e-6, 25e-6, 4e-6);
    const double F = kPi * kAlpha * 50 * (0.1 / kE) * 0.001 * 3 * K * K / 3.0 * refBesselFactor(3, K);
    EXPECT_NEAR(p.y, F / s.area() / s.solidAngle(), 1e-6 * p.y);

    // a REC magnet scanned in K, plotted against the gap: g = -lambda_u/pi ln(B/(1.723 Br))
    m.PermMag = "REC";
    m.RemnField = 1.2;
    c.abscissa = ScanAbscissa::Gap;
    p = tuningScanPoint(c, 1, 1.0, m, w.messages);
    EXPECT_NEAR(p.X, -0.05 / kPi * std::log(1.0 / 93.44 / 0.05 / 1.723 / 1.2) * 1000.0, 1e-9);

    // a hybrid magnet scanned in gap: K = 93.44 lambda_u Br exp(-x (5.47 - 1.8 x))
    m.PermMag = "hybrid";
    m.RemnField = 3.33;
    c.kind = ScanKind::Gap;
    p = tuningScanPoint(c, 1, 15.0, m, w.messages);
    EXPECT_DOUBLE_EQ(p.X, 15.0);
    EXPECT_NEAR(p.K, 93.44 * 0.05 * 3.33 * std::exp(-0.3 * (5.47 - 1.8 * 0.3)), 1e-12);
    EXPECT_TRUE(w.messages.log.empty());
}

TEST(UndulatorScan, GapScanLinesAndMessagesOncePerScan) {
    World w;
    ASSERT_TRUE(w.list1("1", "3"));
    w.magnet.RemnField = 0;  // the magnet model asks for the remanent field, once
    TuningScanInputs in{.edGapmin = "10", .edGapmax = "30", .kind = ScanKind::Gap};
    const TuningScanResult r = TuningScanCalculate(in, w.list, w.beam, w.magnet, w.rbw, w.messages);
    EXPECT_EQ(w.messages.texts(), std::vector<std::string>{kHybridRemnantText});
    EXPECT_EQ(w.magnet.RemnField, 0.0);  // the shared magnet is not changed by the scan
    ASSERT_EQ(r.curves.size(), 2u);
    const auto& info = r.curves[0].info;
    EXPECT_EQ(info[6].second, "gap variation     10.000 - 30.000 mm");
    const double Ka = 93.44 * 0.05 * 3.33 * std::exp(-0.2 * (5.47 - 0.36));
    EXPECT_EQ(info[11].second.substr(0, 18), "variation of K    ");
    EXPECT_NEAR(parseReal(info[11].second.substr(18, 6)), Ka, 0.0006);

    // a K scan from 0 plotted against the gap of a hybrid magnet: the smallest K are out of
    // reach of any gap; the message comes once, not once per point
    w.messages.clear();
    w.magnet.RemnField = 3.33;
    in.kind = ScanKind::K;
    in.abscissa = ScanAbscissa::Gap;
    in.edKmin = "0";
    in.edKmax = "1";
    TuningScanCalculate(in, w.list, w.beam, w.magnet, w.rbw, w.messages);
    EXPECT_EQ(w.messages.texts(), std::vector<std::string>{kHybridKOutOfReachText});
}

TEST(UndulatorScan, RefusalsBeforeAnyPoint) {
    World w;
    TuningScanInputs in;
    auto refusal = [&](const TuningScanInputs& x) {
        return thrown<InputError>(
            [&] { TuningScanCalculate(x, w.list, w.beam, w.magnet, w.rbw, w.messages); });
    };
    EXPECT_EQ(refusal(in), kNoListYetText);
    ASSERT_TRUE(w.list1("1", "5"));
    w.magnet.MagType = "EM";
    EXPECT_EQ(refusal(in), kScanNeedsPMText);
    w.magnet.MagType = "PM";
    in.edGapmin = "-1";
    EXPECT_EQ(refusal(in), kNegativeGapText);
    in.kind = ScanKind::K;
    in.edKmax = "-2";
    EXPECT_EQ(refusal(in), kNegativeKText);
    in.edKmax = "x";
    EXPECT_EQ(refusal(in), "'x' is not a valid floating point value");
    EXPECT_TRUE(w.messages.log.empty());
}

TEST(UndulatorScan, FreeCurvesAndFileLines) {
    struct Case {
        int max, count, harmonics;
        bool replace, fits;
    };
    const Case cases[] = {
        {50, 48, 3, false, false}, {50, 47, 3, false, true}, {50, 48, 3, true, true},
        {50, 50, 1, false, false}, {50, 0, 15, false, true}, {50, 36, 15, false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(enoughFreeCurves(c.max, c.count, c.harmonics, c.replace), c.fits)
            << c.count << " " << c.harmonics << " " << c.replace;
    EXPECT_EQ(tuningFileLine(1.0, -2.5), " 1.00000000000000E+0000-2.50000000000000E+0000\r\n");
    EXPECT_EQ(tuningFileLine(1234.5, 3.95e14), " 1.23450000000000E+0003 3.95000000000000E+0014\r\n");
}
