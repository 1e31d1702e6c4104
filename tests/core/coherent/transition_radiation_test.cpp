// Transition radiation against the Ginzburg-Frank distribution integrated here by quadrature,
// the worked examples, and the refusals of what has no meaning (no wavelength, gamma <= 1,
// negative energies, a point bunch radiating coherently).
#include "core/coherent/transition_radiation.h"

#include <gtest/gtest.h>

#include <cmath>

#include "../../support/thrown.h"
#include "../sr_reference.h"
#include "core/coherent/form_factor.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"

using namespace lumerad;

namespace {
using namespace testref;

// 4 beta^2 times the integral of sin^3 t / (1 - beta^2 cos^2 t)^2 from 0 to theta: the
// Ginzburg-Frank distribution over the cone, in the units of the half-space integral F.
double coneByQuadrature(double gamma, double theta) {
    const double b = std::sqrt(1 - 1 / (gamma * gamma));
    auto f = [b](double t) {
        const double s = std::sin(t), c = std::cos(t), d = 1 - b * b * c * c;
        return s * s * s / (d * d);
    };
    return 4 * b * b * simpson(f, 0, theta, 200000);
}

double betaOf(double gamma) { return std::sqrt(1 - 1 / (gamma * gamma)); }

TransitionRadiationBeam beam(double gamma = 100, const char* distr = "g", double fs = 100) {
    // 1e8 electrons a bunch, 10 bunches a pulse, 5 pulses a second
    return {.gamma = gamma,
            .partPerBunch = 1,
            .bunchesPerPulse = 10,
            .pulseRepRate = 5,
            .bunchDuration = fs,
            .distribution = distr};
}

std::string fieldOf(const TransitionRadiationResult& r, const std::string& name) {
    return fieldText(r.fields, name);
}
}  // namespace

TEST(TransitionRadiation, AngularIntegralsMatchQuadrature) {
    EXPECT_NEAR(halfSpaceIntegral(betaOf(100)), 19.193, 0.0005);
    struct Case {
        double gamma, theta;
    } cases[] = {{100, 1.0}, {100, 0.01}, {100, 0.1}, {2, 0.5}, {1.5, 1.2}, {10, kPi / 2}, {1.05, 0.3}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.gamma << " " << c.theta);
        EXPECT_NEAR(coneIntegral(betaOf(c.gamma), c.theta), coneByQuadrature(c.gamma, c.theta),
                    1e-9 * std::max(1.0, coneByQuadrature(c.gamma, c.theta)));
    }
    // the whole half space and no cone at all
    EXPECT_NEAR(coneIntegral(betaOf(100), kPi / 2), halfSpaceIntegral(betaOf(100)), 1e-9);
    EXPECT_NEAR(coneByQuadrature(7, kPi / 2), halfSpaceIntegral(betaOf(7)), 1e-9);
    EXPECT_EQ(coneIntegral(betaOf(100), 0), 0.0);
    EXPECT_NEAR(transitionRadiationConstant(), kAlpha / (2 * kPi), 1e-8);
}

TEST(TransitionRadiation, SpectralEnergyIsGinzburgFrankTimesBandWidth) {
    RecordingMessages m;
    TransitionRadiationState s;
    TransitionRadiationResult r;
    TransitionRadiationInputs in{.photon = "2.5", .bandWidth = "0.01", .coherent = false, .angleMrad = "10"};
    s.AccAngFromMrad = true;
    CalculateTR(in, beam(), s, m, r);
    EXPECT_TRUE(m.log.empty());
    // dW/domega = alpha / (2 pi) hbar F per electron; N = 1e8 electrons, domega = 0.01 omega
    const double omega = 2.5 * kE / kHbar;
    const double W = kAlpha / (2 * kPi) * kHbar * 19.193 * 1e8 * 0.01 * omega;
    EXPECT_NEAR(r.W / W, 1.0, 2e-5);
    EXPECT_NEAR(r.Wpulse, 10 * r.W, 1e-12 * r.W * 10);
    EXPECT_NEAR(r.P, 50 * r.W, 1e-12 * r.W * 50);
    const double Wa = W / 19.193 * coneByQuadrature(100, 0.01);
    EXPECT_NEAR(r.Wa / Wa, 1.0, 2e-5);
    EXPECT_NEAR(r.theta, 0.01, 1e-15);
    EXPECT_EQ(*r.angleGammaText, "1");  // 10 mrad at gamma 100
    EXPECT_FALSE(r.angleMradText.has_value());
    EXPECT_EQ(fieldOf(r, "EdtFormF"), "0");
    for (const char* n : {"EdtTEnthBun", "EdtTEnthPlse", "EdtTPowtheta"}) EXPECT_EQ(fieldOf(r, n), "") << n;
}

TEST(TransitionRadiation, WholeSpectrumOfACoherentBunch) {
    RecordingMessages m;
    for (const char* distr : {"g", "r"}) {
        SCOPED_TRACE(distr);
        TransitionRadiationState s;
        s.AccAngFromGamma = true;
        TransitionRadiationResult r;
        TransitionRadiationInputs in;
        in.angleGamma = "3";
        CalculateTR(in, beam(100, distr, 100), s, m, r);
        const double L = kC * 100e-15;
        // closed forms of the integral of the form factor over omega (the uniform sum stops at
        // x = 1000 and leaves out 1/(1000 pi) of it)
        const double iff = distr[0] == 'g' ? std::sqrt(kPi) / 2 * std::sqrt(2 * kPi) * kC / L
                                           : kPi * kC / L * (1 - 1 / (1000 * kPi));
        const double N = 1e8;
        const double Wt = kAlpha / (2 * kPi) * kHbar * coneByQuadrature(100, 0.03) * ((N - 1) * iff + 1) * N;
        EXPECT_NEAR(r.Wt / Wt, 1.0, 2e-5);
        EXPECT_NEAR(r.Pt, r.Wt * 50, r.Wt * 1e-10);
        EXPECT_NE(fieldOf(r, "EdtTEnthBun").find_first_of("0123456789"), std::string::npos);
        // at 1 eV the bunch of 30 um is far longer than the wavelength
        EXPECT_LT(r.FF, distr[0] == 'g' ? 1e-30 : 1e-3);
        EXPECT_EQ(*r.angleMradText, "30");
    }
}

TEST(TransitionRadiation, WorkedExamples) {
    RecordingMessages m;
    // a uniform bunch as long as the wavelength of 1 eV: FF = 0 and coherent equals incoherent
    const double fs = kH * kC / kE / kC * 1e15;
    TransitionRadiationState s;
    TransitionRadiationResult coh, inc;
    TransitionRadiationInputs in;
    CalculateTR(in, beam(100, "r", fs), s, m, coh);
    in.coherent = false;
    CalculateTR(in, beam(100, "r", fs), s, m, inc);
    EXPECT_LT(coh.FF, 1e-25);
    EXPECT_EQ(fieldOf(coh, "EdtTradBun"), fieldOf(inc, "EdtTradBun"));
    EXPECT_EQ(fieldOf(inc, "EdtFormF"), "0");

    // 10 1/cm is 1 mm; the unit list in order
    in.unit = PhotonUnit::perCm;
    in.photon = "10";
    CalculateTR(in, beam(), s, m, inc);
    EXPECT_EQ(inc.convertLines[0], "energy equivalents in other units:");
    EXPECT_EQ(inc.convertLines[1], "0.0010000 m");
    EXPECT_EQ(inc.convertLines[2], "10000000.0 Angstrom");
    EXPECT_EQ(inc.convertLines[4], "   10.000 1/cm");
    EXPECT_EQ(inc.convertLines[5], "  0.29979 THz");
    EXPECT_NEAR(inc.lambda, 1e-3, 1e-18);

    // 2000 / gamma at gamma 100 is 20 rad: clamped to pi/2, both fields rewritten
    m.clear();
    s = {};
    s.AccAngFromGamma = true;
    in.angleGamma = "2000";
    CalculateTR(in, beam(), s, m, inc);
    EXPECT_EQ(m.texts(), std::vector<std::string>{kAngleGammaTooLargeText});
    EXPECT_EQ(*inc.angleGammaText, "157.08");
    EXPECT_EQ(*inc.angleMradText, "1570.8");
    EXPECT_EQ(fieldOf(inc, "EdtAccEnBun"), fieldOf(inc, "EdtTradBun"));
    m.clear();
    s = {};
    s.AccAngFromMrad = true;
    in.angleMrad = "5000";
    CalculateTR(in, beam(), s, m, inc);
    EXPECT_EQ(m.texts(), std::vector<std::string>{kAngleMradTooLargeText});
    EXPECT_EQ(*inc.angleMradText, "1570.8");
    EXPECT_FALSE(s.AccAngFromGamma);
}

TEST(TransitionRadiation, MessagesThatLetTheCalculationGoOn) {
    struct Case {
        PhotonUnit unit;
        const char* photon;
        const char* bandWidth;
        std::vector<std::string> messages;
        double lambda;
        bool convert;
    } cases[] = {
        {PhotonUnit::eV, "0", "0.001", {kSelectPhotonEnergyText}, kH * kC / kE, true},  // goes on at 1 eV
        {PhotonUnit::m, "0", "0.001", {kSelectPhotonEnergyText}, 1e-10, false},
        {PhotonUnit::Angstrom, "0", "0.001", {kSelectPhotonEnergyText}, 1e-10, false},
        {PhotonUnit::Angstrom, "5", "", {kSelectBandWidthText}, 5e-10, true},
        {PhotonUnit::THz, "1", "0.001", {}, kC / 1e12, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.photon);
        RecordingMessages m;
        TransitionRadiationState s;
        TransitionRadiationResult r;
        CalculateTR({.photon = c.photon, .unit = c.unit, .bandWidth = c.bandWidth}, beam(), s, m, r);
        EXPECT_EQ(m.texts(), c.messages);
        EXPECT_NEAR(r.lambda / c.lambda, 1.0, 1e-6);
        EXPECT_EQ(r.convertLines.empty(), !c.convert);
        EXPECT_EQ(r.bandWidthText.has_value(), std::string(c.bandWidth).empty());
        if (r.bandWidthText) {
            EXPECT_EQ(r.bandWidth, 1.0);
        }
    }
}

TEST(TransitionRadiation, RefusesWhatHasNoMeaning) {
    const std::string restEnergy = "the beam energy must be above the electron rest energy (gamma > 1)!",
                      pointBunch =
                          "a coherent calculation needs a bunch length above 0 fs: the integrated "
                          "form factor of a point bunch has no end!";
    struct Case {
        double gamma;
        const char* distr;
        double fs;
        PhotonUnit unit;
        const char* photon;
        const char* bandWidth;
        bool coherent;
        std::string text;
    } cases[] = {
        {1.0, "g", 100, PhotonUnit::eV, "1", "0.001", true, restEnergy},
        {0.5, "g", 100, PhotonUnit::eV, "1", "0.001", false, restEnergy},
        {100, "g", 100, PhotonUnit::perCm, "0", "0.001", true,
         "select photon energy ! (a wave number of 0 has no wave length)"},
        {100, "g", 100, PhotonUnit::THz, "0", "0.001", true,
         "select photon energy ! (a frequency of 0 has no wave length)"},
        {100, "g", 100, PhotonUnit::eV, "-1", "0.001", true, "the photon energy must be positive!"},
        {100, "g", 100, PhotonUnit::m, "-1e-6", "0.001", true, "the wave length must be positive!"},
        {100, "g", 100, PhotonUnit::eV, "1", "-0.001", true, "the band width must be positive!"},
        {100, "g", 0, PhotonUnit::eV, "1", "0.001", true, pointBunch},
        {100, "r", 0, PhotonUnit::eV, "1", "0.001", true, pointBunch},
        {100, "x", 100, PhotonUnit::eV, "1", "0.001", true, kSelectDistributionText},
        {100, "g", 100, PhotonUnit::eV, "1,5", "0.001", true, "'1,5' is not a valid floating point value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RecordingMessages m;
        TransitionRadiationState s;
        s.FF = 0.25;  // of an earlier calculation: kept when this one is refused
        TransitionRadiationResult r;
        const TransitionRadiationInputs in{
            .photon = c.photon, .unit = c.unit, .bandWidth = c.bandWidth, .coherent = c.coherent};
        EXPECT_EQ(thrown<InputError>([&] { CalculateTR(in, beam(c.gamma, c.distr, c.fs), s, m, r); }),
                  c.text);
        EXPECT_EQ(s.FF, 0.25);
    }
    // incoherent, a point bunch is no problem
    RecordingMessages m;
    TransitionRadiationState s;
    TransitionRadiationResult r;
    TransitionRadiationInputs in;
    in.coherent = false;
    EXPECT_NO_THROW(CalculateTR(in, beam(100, "x", 0), s, m, r));
}
