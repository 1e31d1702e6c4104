#include "core/sources/undulator.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
// Total power P = 0.07257 (E K)^2 N I / lambda_u (W; E in GeV, lambda_u in m).
constexpr double kPowerFactor = 0.07257;

void store(double& target, double v) { target = checkedValue(v); }

ResultField field(const char* name, const char* label, double value, const char* unit, std::string text,
                  std::string shownUnit) {
    return ResultField{name, label, value, unit, std::move(text), std::move(shownUnit)};
}

// A value scaled with its prefix: (text of the scaled value, prefix + unit).
template <class Format>
std::pair<std::string, std::string> scaledText(double v, const char* unit, Format format) {
    double scaled = 0;
    std::string prefix;
    ScaleToPrefix(v, scaled, prefix);
    return {format(scaled), prefix + unit};
}
}  // namespace

double undulatorWaveLength(double lambdaU, double gamma, double K) {
    return lambdaU / (2.0 * gamma * gamma) * (1.0 + K * K / 2.0);
}

double harmonicBesselFactor(int n, double K) {
    if (n < 1 || n % 2 == 0) return 0.0;
    return JJFun(n, K);
}

void harmonicBesselFactors(int n, const double* K, double* out, long count) {
    if (n < 1 || n % 2 == 0)
        std::fill(out, out + count, 0.0);
    else
        JJFun(n, K, out, count);
}

double onAxisFluxPerBW(int n, double K, int N, double gamma, double I) {
    const double a = N * gamma * n * K / (1.0 + K * K / 2.0);
    return FineStruct * (I / ElCharge) * a * a * harmonicBesselFactor(n, K);
}

double centralConeFluxPerBW(int n, double K, int N, double I) {
    return centralConeFluxPerBW(n, K, N, I, harmonicBesselFactor(n, K));
}

double centralConeFluxPerBW(int n, double K, int N, double I, double besselFactor) {
    return Pi * FineStruct * N * (I / ElCharge) * K * K * n / (1.0 + K * K / 2.0) * besselFactor;
}

void UndulatorRecalculate(const UndulatorInputs& in, const CurrentBeam& beam, MagnetState& m,
                          UndulatorState& und, Messages& messages, UndulatorResult& r) {
    r.completed = 0;
    r.notUndulator = false;

    // 2. An undulator has at least two periods.
    if (m.NPeriods <= 1) {
        r.notUndulator = true;
        messages.info(kNotUndulatorText);
        return;
    }
    // Everything below divides by the period length and the beam energy.
    if (!(m.PerLength > 0)) throw InputError(kZeroPeriodText);
    if (!(beam.BeamEnergy > 0) || !(beam.BeamGamma > 0)) throw InputError(kZeroBeamEnergyText);
    const double E = beam.BeamEnergy, I = beam.BeamCurrent, gamma = beam.BeamGamma;

    // 3. The field: a permanent magnet's from the gap, an electromagnet's as stored.
    r.permanentMagnet = m.MagType == "PM";
    r.BField = m.BField;
    r.completed = 3;

    // 4. Deflection parameter and device length.
    store(m.KValue, kUndKPerTeslaM * m.BField * m.PerLength);
    r.K = m.KValue;
    r.devLength = m.DevLength;
    r.permMag = m.PermMag;
    r.completed = 4;

    // 5. The field of any other magnet type is not known.
    if (m.MagType != "PM" && m.MagType != "EM") {
        messages.info(kChooseMagnetComponentText);
        return;
    }
    const double K = m.KValue;

    // 6, 7. Fundamental wavelength and photon energy.
    store(r.lambda1, undulatorWaveLength(m.PerLength, gamma, K));
    store(r.eps1, kUndHC / metersToAngstrom(r.lambda1));
    und.FundWaveLen = r.lambda1;
    und.FundPhotEn = r.eps1;
    r.completed = 7;

    // 8. Harmonic.
    const int i = parseInteger(in.harm, "harm");
    if (i < 1) throw InputError(kHarmonicBelowOneText, "harm");
    if (i > kMaxHarmonic) throw InputError(kHarmonicTooLargeText, "harm");
    r.harmonic = i;
    und.Harmonic = i;

    // 9. Photon energy and wavelength of the harmonic.
    store(r.photonEnergy, i * r.eps1);
    store(r.wavelength, r.lambda1 / i);
    r.completed = 9;

    // 10. Total power.
    store(r.power, kPowerFactor * (E * K) * (E * K) * m.NPeriods * I / m.PerLength);
    r.completed = 10;

    // 11. Diffraction terms at the fundamental.
    store(m.SigR, std::sqrt(r.lambda1 * m.DevLength) / (4.0 * Pi));
    store(m.SigRp, std::sqrt(r.lambda1 / m.DevLength));
    r.sigR = m.SigR;
    r.sigRp = m.SigRp;

    // 12. Opening angle of the central cone (with the number of poles).
    store(r.coneAngle, std::sqrt((1.0 + K * K / 2.0) / (double(m.NPoles) * i)) / gamma);
    und.ConeAngle = r.coneAngle;

    // 13. Total source sizes and divergences.
    store(m.SigTx, std::sqrt(m.SigR * m.SigR + beam.SigXb * beam.SigXb));
    store(m.SigTy, std::sqrt(m.SigR * m.SigR + beam.SigYb * beam.SigYb));
    store(m.SigTxp, std::sqrt(m.SigRp * m.SigRp + beam.SigXp * beam.SigXp));
    store(m.SigTyp, std::sqrt(m.SigRp * m.SigRp + beam.SigYp * beam.SigYp));
    r.sigTx = m.SigTx;
    r.sigTy = m.SigTy;
    r.sigTxp = m.SigTxp;
    r.sigTyp = m.SigTyp;
    r.completed = 13;

    // 14. Power density at the source.
    store(r.powDensSource, r.power / (TwoPi * m.SigTx * m.SigTy * 1e6));
    r.completed = 14;

    // 15. Power density at the distance z; the diffraction divergence enters beside the
    //     total divergence.
    const double z = parseReal(in.edDist);
    if (z < 0) throw InputError(kNegativeDistanceText, "edDist");
    const double wx = std::sqrt(m.SigTx * m.SigTx + z * z * (m.SigRp * m.SigRp + m.SigTxp * m.SigTxp));
    const double wy = std::sqrt(m.SigTy * m.SigTy + z * z * (m.SigRp * m.SigRp + m.SigTyp * m.SigTyp));
    store(r.powDensZ, r.power / TwoPi / wx / wy / 1e6);
    r.completed = 15;

    // 16. Orbit oscillation amplitude and deflection angle.
    store(r.amplitude, K * m.PerLength / (gamma * TwoPi));
    store(r.deflection, K / gamma);
    r.completed = 16;
}

ResultFields UndulatorTexts(const UndulatorResult& r) {
    ResultFields t;
    const int c = r.completed;
    if (c >= 3) {
        // a permanent magnet's field is shown in fldmax, an electromagnet's in Wfield
        t.push_back(field(r.permanentMagnet ? "fldmax" : "Wfield", "field", r.BField, "T",
                          FormatFixed3(r.BField), "T"));
    }
    if (c >= 4) {
        t.push_back(field("stKPar", "K-parameter", r.K, "", FormatFixed3(r.K), ""));
        t.push_back(field("stUndLen", "undulator length", r.devLength, "m", FormatFixed3(r.devLength), "m"));
        t.push_back(ResultField{"MagTyp", "magnet type", 0, "", r.permMag, ""});
    }
    if (c >= 9) {
        auto [e, eu] = scaledText(r.photonEnergy, "eV", [](double v) { return fixed(v, 4, 1); });
        t.push_back(field("ephi", "photon energy of the harmonic", r.photonEnergy, "eV", e, eu));
        t.push_back(field("lami", "wavelength of the harmonic", r.wavelength, "m",
                          fixed(metersToAngstrom(r.wavelength), 4, 1), "Å"));
    }
    if (c >= 10) {
        auto [p, pu] = scaledText(r.power, "W", [](double v) { return fixed(v, 5, 2); });
        t.push_back(field("PowTot", "total radiation power", r.power, "W", p, pu));
    }
    if (c >= 14) {
        auto [p, pu] = scaledText(r.powDensSource, "W/mm^2", [](double v) { return fixed(v, 4, 3); });
        t.push_back(field("edPowmm", "power density at the source", r.powDensSource, "W/mm^2", p, pu));
    }
    if (c >= 15) {
        auto [p, pu] = scaledText(r.powDensZ, "W/mm^2", [](double v) { return fixed(v, 4, 3); });
        t.push_back(field("edPwmmz", "power density downstream", r.powDensZ, "W/mm^2", p, pu));
    }
    if (c >= 16) {
        t.push_back(field("Edtxmax", "osc.amplitude", r.amplitude, "m",
                          fixed(metersToMicrons(r.amplitude), 4, 1), "µm"));
        t.push_back(field("Edtmxdefl", "deflection", r.deflection, "rad",
                          fixed(radToMicrorad(r.deflection), 4, 1), "µrad"));
    }
    return t;
}

}  // namespace lumerad
