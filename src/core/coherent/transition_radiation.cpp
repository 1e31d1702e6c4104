#include "core/coherent/transition_radiation.h"

#include <cmath>

#include "core/coherent/form_factor.h"
#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
bool blank(const std::string& s) { return s.find_first_not_of(" \t") == std::string::npos; }

ResultField field(const char* name, const char* label, double v, const char* unit, int digits) {
    return {name, label, v, unit, general(v, digits, 3), unit};
}
}  // namespace

const char* photonUnitCaption(PhotonUnit unit) {
    switch (unit) {
        case PhotonUnit::eV:
            return "photon energy";
        case PhotonUnit::m:
        case PhotonUnit::Angstrom:
            return "wave length";
        case PhotonUnit::perCm:
            return "wave number";
        case PhotonUnit::THz:
            return "frequency";
    }
    return "";
}

const char* photonUnitLabel(PhotonUnit unit) {
    switch (unit) {
        case PhotonUnit::eV:
            return "eV";
        case PhotonUnit::m:
            return "m";
        case PhotonUnit::Angstrom:
            return "Angstrom";
        case PhotonUnit::perCm:
            return "1/cm";
        case PhotonUnit::THz:
            return "THz";
    }
    return "";
}

double transitionRadiationConstant() { return MeC2 * ElCharge * ElRadius / (TwoPi * HBar * CLight); }

double halfSpaceIntegral(double beta) {
    return (beta * beta + 1) / beta * std::log((1 + beta) / (1 - beta)) - 2;
}

// Integrating sin^2 t / (1 - beta^2 cos^2 t)^2 over the solid angle from 0 to theta gives,
// with C = cos theta, the logarithm below less 2 (1 - C)(1 + beta^2 C) / (1 - beta^2 C^2).
double coneIntegral(double beta, double theta) {
    const double C = std::cos(theta), b2 = beta * beta;
    return (1 + b2) / beta * std::log((1 - beta * C) * (1 + beta) / ((1 + beta * C) * (1 - beta))) -
           2 * (1 - C) * (1 + b2 * C) / (1 - b2 * C * C);
}

std::vector<std::string> photonEnergyEquivalents(double lambda) {
    return {"energy equivalents in other units:",
            pattern("%9.7f", lambda) + " m",
            pattern("%9.1f", metersToAngstrom(lambda)) + " Angstrom",
            pattern("%9.5f", HPlanck * CLight / ElCharge / lambda) + " eV",
            pattern("%9.3f", 0.01 / lambda) + " 1/cm",
            pattern("%9.5f", HzToTHz(CLight / lambda)) + " THz",
            pattern("%9.1f", HPlanck * CLight / lambda / KBoltz) + " deg Kelvin"};
}

void CalculateTR(const TransitionRadiationInputs& in, const TransitionRadiationBeam& beam,
                 TransitionRadiationState& state, Messages& messages, TransitionRadiationResult& r) {
    TransitionRadiationState s = state;  // taken over when the calculation completes
    r = TransitionRadiationResult{};
    r.coherent = in.coherent;
    const double gamma = beam.gamma;
    // Every formula divides by beta = sqrt(1 - 1/gamma^2).
    if (!(gamma > 1)) throw InputError("the beam energy must be above the electron rest energy (gamma > 1)!");

    // 2. Wavelength from the photon entry.
    const double v = parseReal(in.photon);
    if (v < 0)
        throw InputError("the " + std::string(photonUnitCaption(in.unit)) + " must be positive!", "EdtPhEn");
    double lambda = 0;
    switch (in.unit) {
        case PhotonUnit::eV: {
            double E = v;
            if (E == 0) {
                E = 1.0;
                messages.info(kSelectPhotonEnergyText);
            }
            lambda = HPlanck * CLight / (ElCharge * E);
            break;
        }
        case PhotonUnit::m:
            lambda = v;
            break;
        case PhotonUnit::Angstrom:
            lambda = v / 1e10;
            break;
        case PhotonUnit::perCm:
        case PhotonUnit::THz:
            if (v == 0)
                throw InputError(std::string(kSelectPhotonEnergyText) + " (a " + photonUnitCaption(in.unit) +
                                 " of 0 has no wave length)");
            lambda = in.unit == PhotonUnit::perCm ? cmToMeters(1 / v) : CLight / THzToHz(v);
            break;
    }
    if (lambda == 0) {
        lambda = 1e-10;
        messages.info(kSelectPhotonEnergyText);
    } else {
        if (!(lambda >= kMinPhotonWaveLength && lambda <= kMaxPhotonWaveLength))
            throw InputError("the " + std::string(photonUnitCaption(in.unit)) + kPhotonRangeText, "EdtPhEn");
        r.convertLines = photonEnergyEquivalents(checkedValue(lambda));
    }
    s.lambda = checkedValue(lambda);

    // 3. Photon energy.
    s.E = checkedValue(HPlanck * CLight / ElCharge / s.lambda);

    // 4, 5. Bunch length and form factors.
    const double sigmaZ = CLight * fsToSeconds(beam.bunchDuration);
    if (!in.coherent) {
        s.FF = 0;
    } else {
        const std::optional<BunchShape> shape = bunchShapeOf(beam.distribution);
        if (!shape) throw InputError(kSelectDistributionText);
        if (!(sigmaZ > 0))
            throw InputError(
                "a coherent calculation needs a bunch length above 0 fs: the integrated form "
                "factor of a point bunch has no end!");
        s.FF = checkedValue(formFactor(*shape, sigmaZ, s.lambda));
        s.IFF = checkedValue(*shape == BunchShape::Gaussian ? IntFFG(sigmaZ) : IntFFR(sigmaZ));
    }
    r.fields.push_back(field("EdtFormF", "form factor", s.FF, "", 5));

    // 6. Band width.
    std::string bw = in.bandWidth;
    if (blank(bw)) {
        messages.info(kSelectBandWidthText);
        bw = "1";
        r.bandWidthText = bw;
    }
    const double BW = parseReal(bw);
    if (!(BW > 0)) throw InputError("the band width must be positive!", "EdtBnWdth");
    if (BW > 1) throw InputError(kTRBandWidthTooLargeText, "EdtBnWdth");

    // 7-9. Electrons, velocity, emission into the half space.
    const double N = particlesOf1e8(beam.partPerBunch);
    const double nb = beam.bunchesPerPulse;
    const double beta = std::sqrt(1 - 1 / (gamma * gamma));
    const double Neff = in.coherent ? ((N - 1) * s.FF + 1) * N : N;
    const double F = checkedValue(halfSpaceIntegral(beta));

    // 10, 11. Half space.
    const double K = transitionRadiationConstant();
    const double f = beam.pulseRepRate;
    r.W = checkedValue(K * F * Neff * (s.E * ElCharge) * BW);
    r.Wpulse = checkedValue(r.W * nb);
    r.P = checkedValue(r.Wpulse * f);

    // 12. Acceptance angle, from the field the user edited last.
    if (s.AccAngFromGamma) {
        s.theta = parseReal(in.angleGamma, "EdtAngAccGam") / gamma;
        if (s.theta < 0) throw InputError(kNegativeAngleText, "EdtAngAccGam");
        if (s.theta > Pi / 2) {
            messages.info(kAngleGammaTooLargeText);
            s.theta = Pi / 2;
            r.angleGammaText = general(s.theta * gamma, 5, 3);
        }
        r.angleMradText = general(radToMrad(s.theta), 5, 3);
        s.AccAngFromMrad = false;
    }
    if (s.AccAngFromMrad) {
        s.theta = mradToRad(parseReal(in.angleMrad, "EdtAngAccmr"));
        if (s.theta < 0) throw InputError(kNegativeAngleText, "EdtAngAccmr");
        if (s.theta > Pi / 2) {
            messages.info(kAngleMradTooLargeText);
            s.theta = Pi / 2;
            r.angleMradText = general(radToMrad(s.theta), 5, 3);
        }
        r.angleGammaText = general(s.theta * gamma, 5, 3);
        s.AccAngFromGamma = false;
    }

    // 13, 14. Into the acceptance cone.
    const double G = checkedValue(coneIntegral(beta, s.theta));
    r.Wa = checkedValue(K * G * Neff * (s.E * ElCharge) * BW);
    r.WaPulse = checkedValue(r.Wa * nb);
    r.Pa = checkedValue(r.WaPulse * f);

    // 15. The whole spectrum into the cone, for a coherent bunch.
    if (in.coherent) {
        const double Nc = ((N - 1) * s.IFF + 1) * N;
        r.Wt = checkedValue(K * HBar * G * Nc);
        r.WtPulse = checkedValue(r.Wt * nb);
        r.Pt = checkedValue(r.WtPulse * f);
    }

    r.fields.push_back(field("EdtTradBun", "radiation energy", r.W, "J/bunch", 4));
    r.fields.push_back(field("EdtTradPls", "radiation energy", r.Wpulse, "J/pulse", 4));
    r.fields.push_back(field("EdtRadPow", "radiation power", r.P, "Watt", 4));
    r.fields.push_back(field("EdtAccEnBun", "radiation energy into acceptance angle", r.Wa, "J/bunch", 4));
    r.fields.push_back(
        field("EdtAccEnPls", "radiation energy into acceptance angle", r.WaPulse, "J/pulse", 4));
    r.fields.push_back(field("EdtAccPow", "radiation power into acceptance angle", r.Pa, "Watt", 4));
    const char* tNames[3] = {"EdtTEnthBun", "EdtTEnthPlse", "EdtTPowtheta"};
    const char* tLabels[3] = {"all radiation energy into acceptance angle",
                              "all radiation energy into acceptance angle",
                              "all radiation power into acceptance angle"};
    const char* tUnits[3] = {"J/bunch", "J/pulse", "Watt"};
    const double tValues[3] = {r.Wt, r.WtPulse, r.Pt};
    for (int i = 0; i < 3; ++i) {
        ResultField t = field(tNames[i], tLabels[i], tValues[i], tUnits[i], 4);
        if (!in.coherent) t.text.clear();
        r.fields.push_back(t);
    }

    r.lambda = s.lambda;
    r.E = s.E;
    r.bandWidth = BW;
    r.FF = s.FF;
    r.IFF = s.IFF;
    r.F = F;
    r.G = G;
    r.Neff = Neff;
    r.theta = s.theta;
    state = s;
}

}  // namespace lumerad
