#include "core/spectra/synchrotron_spectrum.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/numerics/tabulated.h"

using namespace lumerad;

namespace {

using testref::table;

CurrentBeam ring() {
    return {.BeamName = "test ring",
            .BeamEnergy = 3.0,
            .BeamGamma = 3.0e9 / 511003.0,
            .BeamCurrent = 0.2,
            .EmitX = 4e-9,
            .SigXb = 120e-6,
            .SigYb = 25e-6};
}

EnergyScan scan(const char* lo, const char* hi, const char* step, RecordingMessages& msg) {
    return energyScanSettings(lo, hi, step, msg);
}

}  // namespace

TEST(EnergyScan, DefaultRangeGives161PointsEndingAt24563eV) {
    RecordingMessages msg;
    const EnergyScan s = scan("10.0", "25000.0", "5.0", msg);
    EXPECT_TRUE(msg.log.empty());
    EXPECT_EQ(energyScanPointCount(s), 161);
    clearFloatFaults();
    const auto pts = energyScanPoints(kAngularFlux, false, table(), s, 7182.0, ring(),
                                      spectrumFactors(ring(), 1, 0.001, 0.0));
    ASSERT_EQ(pts.size(), 161);
    EXPECT_EQ(pts.x.front(), 10.0);
    EXPECT_NEAR(pts.x.back(), 24563.36, 0.005);
    // geometric series by repeated multiplication
    double e = 10.0;
    for (int k = 0; k < 161; ++k, e *= 1.05) EXPECT_EQ(pts.x[k], e);
}

TEST(EnergyScan, StepBelowOneTenthPercent) {
    // "0.1" comes out just below 0.001 in the factor, so the message shows too
    for (const char* step : {"0.1", "0.05", "0.2"}) {
        RecordingMessages msg;
        const EnergyScan s = scan("10.0", "25000.0", step, msg);
        const bool reset = step != std::string("0.2");
        EXPECT_EQ(msg.texts(), std::vector<std::string>(reset, "step size too small! will be set to 0.1%!"))
            << step;
        EXPECT_EQ(s.f, reset ? 1.001 : 1.002) << step;
        EXPECT_EQ(s.stepReset, reset) << step;
    }
    RecordingMessages msg;
    EXPECT_THROW(scan("10.0", "abc", "5", msg), InputError);
}

TEST(EnergyScan, RefusesWhatItCannotDo) {
    RecordingMessages msg;
    // 10 eV to 25000 eV in 0.1 % steps would make 7828 points
    const EnergyScan big = scan("10.0", "25000.0", "0.1", msg);
    const std::string t = thrown<InputError>([&] { energyScanPointCount(big); });
    EXPECT_NE(t.find("7828"), std::string::npos) << t;
    EXPECT_NE(t.find("1001"), std::string::npos) << t;
    // the spectrum refuses before it computes anything, even with a zero critical energy
    clearFloatFaults();
    EXPECT_THROW(energyScanPoints(kAngularFlux, false, table(), big, 0.0, ring(),
                                  spectrumFactors(ring(), 1, 0.001, 0.0)),
                 InputError);
    EXPECT_NO_THROW(checkFloatFaults());
    // huge ranges are estimated, not walked, and the estimate raises no fault
    clearFloatFaults();
    EXPECT_THROW(energyScanPointCount(scan("1e-300", "1e300", "0.1", msg)), InputError);
    EXPECT_NO_THROW(checkFloatFaults());

    for (const char* lo : {"0", "-5"})
        EXPECT_NE(thrown<InputError>([&] {
                      energyScanPointCount(scan(lo, "25000.0", "5.0", msg));
                  }).find("minimum photon energy"),
                  std::string::npos);
    // exactly 1001 points pass: 1.001^1000 from 1 eV
    EnergyScan edge{1.0, 0, 1.001, false};
    double e = 1.0;
    for (int k = 0; k < 1000; ++k) e *= 1.001;
    edge.emax = e;
    EXPECT_EQ(energyScanPointCount(edge), 1001);
    edge.emax = e * 1.001;
    EXPECT_THROW(energyScanPointCount(edge), InputError);
}

// Among the subnormal doubles the step rounds back to the same energy: the scan would never
// end. It is refused before it starts, naming the minimum photon energy.
TEST(EnergyScan, RefusesAStepThatNoLongerChangesTheEnergy) {
    RecordingMessages msg;
    // 1e-321 is 202 units of the last place: x 1.001 rounds back to 202; 1e-322 is 20
    // units: x 1.01 rounds back to 20; the smallest subnormal stays itself at 5 %.
    const std::pair<const char*, const char*> stalls[] = {
        {"1e-321", "0.1"}, {"1e-322", "1.0"}, {"4.9e-324", "5.0"}};
    for (const auto& [lo, step] : stalls) {
        SCOPED_TRACE(lo);
        {
            const EnergyScan s = scan(lo, "25000.0", step, msg);
            try {
                energyScanPointCount(s);
                ADD_FAILURE() << "scan from " << lo << " with step " << step << " accepted";
            } catch (const InputError& e) {
                EXPECT_STREQ(e.what(), kStepStallsText);
                EXPECT_EQ(e.field(), "e_phmin");
            }
        }
    }
    // The smallest normal double moves with the smallest step: refused only for its count.
    EXPECT_THROW(energyScanPointCount(scan("2.3e-308", "25000.0", "0.1", msg)), InputError);
    EXPECT_EQ(energyScanPointCount(scan("1e-300", "1e-299", "5.0", msg)), 48);  // 1.05^47 < 10 < 1.05^48
}

TEST(EnergyScan, MaximumBelowMinimumGivesOnePoint) {
    RecordingMessages msg;
    const EnergyScan s = scan("500", "100", "5", msg);
    EXPECT_EQ(energyScanPointCount(s), 1);
    clearFloatFaults();
    const auto pts = energyScanPoints(kAngularFlux, false, table(), s, 7182.0, ring(),
                                      spectrumFactors(ring(), 1, 0.001, 0.0));
    ASSERT_EQ(pts.size(), 1);
    EXPECT_EQ(pts.x[0], 500.0);
}

TEST(EnergyScan, QuantitiesAgainstIndependentFunctions) {
    RecordingMessages msg;
    const CurrentBeam b = ring();
    const double E = 3.0, I = 0.2, rbw = 0.001, ec = 7182.0, psiV = 0.7;
    const EnergyScan s = scan("100", "40000", "25", msg);
    const SpectrumFactors k = spectrumFactors(b, 3, rbw, psiV);
    const double A = 3.96136761e19 * E * I * 3 * rbw, B = E * E * 1.3254562e22 * I * rbw * 3;
    const double C = (3.96136761e19 / 1.3254562e22) / std::sqrt(2 * M_PI) / E;
    const double q = 1 + psiV * psiV, P = std::pow(q, 1.5);
    for (int item = 0; item <= 5; ++item) {
        clearFloatFaults();
        const auto pts = energyScanPoints(item, false, table(), s, ec, b, k);
        ASSERT_EQ(pts.size(), energyScanPointCount(s));
        for (int i = 0; i < pts.size(); ++i) {
            const double y = pts.x[i] / ec, xi = y / 2 * P;
            double want = 0, wantPi = 0;
            switch (item) {
                case 0:
                    want = A * testref::S(y) / 1000;
                    break;
                case 1:
                    want = A * testref::S(y) / 1000 / (2 * M_PI * 120e-6 * 25e-6 * 1e6);
                    break;
                case 2:
                    want = std::pow(q * y, 2) * B / 1e6 *
                           (std::pow(testref::K23(xi), 2) + psiV * psiV / q * std::pow(testref::K13(xi), 2));
                    break;
                case 3:
                    want = std::pow(q * y * testref::K23(xi), 2) * B / 1e6;
                    wantPi = std::pow(y * testref::K13(xi), 2) * B / 1e6 * psiV * psiV * q;
                    break;
                case 4:
                    continue;  // below
                case 5:        // the opening angle from the density on the axis, at any psiV
                    want = 1000 * C * testref::S(y) / std::pow(y * testref::K23(y / 2), 2);
                    break;
            }
            EXPECT_NEAR(pts.value[i], want, 1e-5 * want) << "item " << item << " at " << pts.x[i];
            if (item == 3) {
                EXPECT_NEAR(pts.pi[i], wantPi, 1e-5 * wantPi) << pts.x[i];
            }
        }
    }
}

// A scan of thousands of points, from below the table to beyond it, computed over whole
// arrays: each point has the bits of the point computed alone.
TEST(EnergyScan, ScanGivesEachPointItsOwnBits) {
    RecordingMessages msg;
    const EnergyScan s = scan("7", "220000", "1.05", msg);
    const SpectrumFactors k = spectrumFactors(ring(), 3, 0.001, 0.7);
    const double area = spectrumSourceArea(ring());
    for (int item = 0; item <= 5; ++item)
        for (bool wiggler : {false, true}) {
            clearFloatFaults();
            const auto pts = energyScanPoints(item, wiggler, table(), s, 7182.0, ring(), k);
            const bool normalised = item == kSigmaPiNormalized;
            const SpectrumPoint first = energyScanPoint(item, wiggler, table(), pts.x[0], 7182.0, area, k);
            for (int i = 0; i < pts.size(); ++i) {
                SpectrumPoint p = energyScanPoint(item, wiggler, table(), pts.x[i], 7182.0, area, k);
                if (normalised)
                    p = {i == 0 ? 1.0 : p.value / first.value, wiggler ? 0.0 : p.pi / first.value};
                ASSERT_EQ(std::memcmp(&p.value, &pts.value[i], sizeof p.value), 0)
                    << item << " at " << pts.x[i];
                if (item == kSigmaPi || normalised) {
                    ASSERT_EQ(std::memcmp(&p.pi, &pts.pi[i], sizeof p.pi), 0);
                }
            }
        }
}

TEST(EnergyScan, NormalisedPolarisationsAreDividedByTheFirstSigmaValue) {
    RecordingMessages msg;
    const EnergyScan s = scan("1000", "20000", "20", msg);
    const SpectrumFactors k = spectrumFactors(ring(), 1, 0.001, 1.0);
    clearFloatFaults();
    const auto abs = energyScanPoints(kSigmaPi, false, table(), s, 7182.0, ring(), k);
    const auto norm = energyScanPoints(kSigmaPiNormalized, false, table(), s, 7182.0, ring(), k);
    ASSERT_EQ(norm.size(), abs.size());
    EXPECT_EQ(norm.value[0], 1.0);
    const double first = abs.value[0];
    for (int i = 0; i < abs.size(); ++i) {
        EXPECT_NEAR(norm.value[i], abs.value[i] / first, 1e-13 * abs.value[i] / first);
        EXPECT_NEAR(norm.pi[i], abs.pi[i] / first, 1e-13 * abs.pi[i] / first);
    }
    // the pi curve is not divided by its own first value
    EXPECT_GT(std::fabs(norm.pi[0] - 1.0), 0.01);
}

TEST(EnergyScan, WigglerHasNoPiMode) {
    RecordingMessages msg;
    const EnergyScan s = scan("1000", "20000", "20", msg);
    const SpectrumFactors k = spectrumFactors(ring(), 40, 0.001, 1.0);
    clearFloatFaults();
    for (int item : {kSigmaPi, kSigmaPiNormalized}) {
        const auto pts = energyScanPoints(item, true, table(), s, 7182.0, ring(), k);
        ASSERT_EQ(pts.pi.size(), pts.x.size());
        for (double p : pts.pi) EXPECT_EQ(p, 0.0);
        for (double v : pts.value) EXPECT_GT(v, 0.0);
    }
}

TEST(EnergyScan, ZeroCriticalEnergyOrBeamSizeIsAFloatingPointFault) {
    RecordingMessages msg;
    const EnergyScan s = scan("10", "25000", "5", msg);
    const SpectrumFactors k = spectrumFactors(ring(), 1, 0.001, 0.0);
    clearFloatFaults();
    EXPECT_THROW(energyScanPoints(kAngularFlux, false, table(), s, 0.0, ring(), k), FloatError);
    CurrentBeam flat = ring();
    flat.SigYb = 0;
    clearFloatFaults();
    EXPECT_THROW(energyScanPoints(kSpatialFluxDensity, false, table(), s, 7182.0, flat, k), FloatError);
}

TEST(AngleScan, DefaultsGiveElevenAnglesBuiltByAddition) {
    EXPECT_EQ(angleScanPointCount(1.0, 0.1), 11);
    const SpectrumFactors k = spectrumFactors(ring(), 1, 0.001, 0.0);
    clearFloatFaults();
    const auto pts = angleScanPoints(kSigmaPi, table(), 1.0, 0.1, 100.0, 7182.0, k);
    ASSERT_EQ(pts.size(), 11);
    EXPECT_EQ(pts.x[0], 0.0);
    EXPECT_EQ(pts.x[10], 0.9999999999999999);
    EXPECT_EQ(dataFileLine({pts.x[10]}).substr(0, 23), " 1.00000000000000E+0000");
    // values against the standard library's Bessel functions
    const double y = 100.0 / 7182.0, B = 9 * 1.3254562e22 * 0.2 * 0.001;
    for (int i = 0; i < pts.size(); ++i) {
        const double psi = pts.x[i], q = 1 + psi * psi, xi = std::pow(q, 1.5) * y / 2;
        const double s = std::pow(q * y * testref::K23(xi), 2) * B / 1e6;
        const double p = std::pow(y * testref::K13(xi), 2) * B / 1e6 * psi * psi * q;
        EXPECT_NEAR(pts.value[i], s, 1e-5 * s);
        EXPECT_NEAR(pts.pi[i], p, 1e-5 * p + 1e-300);
    }
    // normalised: divided by the sigma value on the axis
    const auto norm = angleScanPoints(kSigmaPiNormalized, table(), 1.0, 0.1, 100.0, 7182.0, k);
    EXPECT_NEAR(norm.value[0], 1.0, 1e-14);
    EXPECT_NEAR(norm.pi[5], pts.pi[5] / pts.value[0], 1e-13 * norm.pi[5]);
    // the other quantities make no points over the angle
    EXPECT_EQ(angleScanPoints(kAngularFlux, table(), 1.0, 0.1, 100.0, 7182.0, k).size(), 0);
}

TEST(AngleScan, RefusesSteps) {
    for (double d : {0.0, -0.1})
        EXPECT_NE(thrown<InputError>([&] { angleScanPointCount(1.0, d); }).find("angle step"),
                  std::string::npos);
    EXPECT_EQ(angleScanPointCount(-1.0, 0.1), 1);
    EXPECT_EQ(angleScanPointCount(100.0, 0.1), 1001);
    clearFloatFaults();
    EXPECT_NE(thrown<InputError>([] { angleScanPointCount(1e300, 1e-300); }).find("1001"), std::string::npos);
    EXPECT_NO_THROW(checkFloatFaults());  // the estimate itself raises no fault
}

TEST(SpectrumTexts, FileLinesCaptionsAndAFileThatCannotOpen) {
    EXPECT_EQ(dataFileLine({10.0, 4.12345678901234e12}),
              " 1.00000000000000E+0001 4.12345678901234E+0012\r\n");
    EXPECT_EQ(dataFileLine({-2.5e-7}), "-2.50000000000000E-0007\r\n");

    EXPECT_EQ(dataFileTextLine(spectrumTitleLine(0, false)) + dataFileTextLine(spectrumColumnLine(0)),
              " angular photon flux vs photon energy\r\n photon energy (eV)     flux (ph/s/mr)\r\n");
    DataFile bad;
    EXPECT_FALSE(bad.open("/nonexistent-dir/x.dat"));
}

TEST(CurveLegend, BendingMagnetAndWigglerLines) {
    LegendInput in{.BeamName = "ANKA",
                   .SrcName = "D1",
                   .E = 2.5,
                   .I = 0.2,
                   .EmitX = 41e-9,
                   .ObsField = 1.5,
                   .RelBandWidth = 0.001,
                   .bendMagMode = true,
                   .edPhEn = "100",
                   .edVAng = "0.0"};
    auto l = curveLegendLines(in);
    std::vector<std::pair<int, std::string>> want = {{1, "storage ring      ANKA"},
                                                     {2, "beam energy        2.500 GeV"},
                                                     {3, "beam current      200.000 mA"},
                                                     {4, "horiz.emittance   41.000 nm"},
                                                     {5, "------------------------"},
                                                     {6, "source magnet     D1"},
                                                     {7, "field strength     1.500 T"},
                                                     {8, "obs. angle (vert) 0.0(1/gamma)"},
                                                     {9, ""},
                                                     {10, ""},
                                                     {11, "band width         0.100 %"}};
    EXPECT_EQ(l, want);
    in.vsAngle = true;
    EXPECT_EQ(curveLegendLines(in)[7].second, "photon energy 100 eV");

    in.bendMagMode = false;
    in.wigglerMode = true;
    in.NPoles = 40;
    in.PerLength = 0.15;
    l = curveLegendLines(in);
    ASSERT_EQ(l.size(), 11u);
    EXPECT_EQ(l[9].second, "obs. angle,horiz.  0.000 mr");  // poles and period: window tests

    in.wigglerMode = false;
    l = curveLegendLines(in);
    ASSERT_EQ(l.size(), 8u);
    EXPECT_EQ(l.back().first, 11);
}

TEST(ObservationPoint, ModesAndCriticalEnergy) {
    MagnetState m;
    m.BField = 2.0;
    m.KValue = 20.0;
    CurrentBeam b = ring();
    ObservationPoint prev;
    prev.HorObsAngle = 0.003;
    prev.ObsField = 1.7;
    clearFloatFaults();
    auto p = observationPoint(true, false, m, b, prev);
    EXPECT_EQ(p.Hobs, "0.0");
    EXPECT_EQ(p.HorObsAngle, 0.0);
    EXPECT_EQ(p.ObsField, 2.0);
    // K / gamma in mrad: 20 / 5870.8 * 1000 = 3.407
    EXPECT_EQ(p.HobsMax, " mr <    3.407 mr");

    p = observationPoint(false, true, m, b, prev);
    EXPECT_EQ(p.Hobs, "");
    EXPECT_EQ(p.HobsMax, "");
    EXPECT_EQ(p.ObsField, 2.0);

    p = observationPoint(false, false, m, b, prev);
    EXPECT_EQ(p.HorObsAngle, 0.003);
    EXPECT_EQ(p.ObsField, 1.7);

    m.KValue = 0;
    EXPECT_THROW(observationPoint(true, false, m, b, prev), FloatError);
    EXPECT_DOUBLE_EQ(spectrumCritEnergy(3.0, 1.2), 7182.0);
}
