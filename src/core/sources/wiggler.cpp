#include "core/sources/wiggler.h"

#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"
#include "core/sources/magnet_model.h"

namespace lumerad {

namespace {
constexpr double kKFactor = 93.44;          // K = 93.44 B (T) lambda_u (m)
constexpr double kCritFactor = 665.0;       // eps_c = 665 E^2 B (eV)
constexpr double kPowerFactor = 633.6;      // P = 633.6 (E B)^2 I L (W)
constexpr double kSubstitutePeriod = 0.01;  // m
// K2/3(xi/2) is given as 0 beyond 35, that is above 70 critical energies.
constexpr double kMaxXi = 70.0;

void store(double& target, double v) { target = checkedValue(v); }

std::string fluxOutOfReachText(double xi, double critEnergy) {
    if (xi > 1.0) {
        return "the photon energy lies above 70 critical energies (" + general(kMaxXi * critEnergy, 7, 3) +
               " eV), where the flux vanishes! choose a longer wavelength.";
    }
    return "the photon energy lies too far below the critical energy (" + general(critEnergy, 7, 3) +
           " eV) for the flux to be computed! choose a shorter wavelength.";
}
}  // namespace

void RecalculateWiggler(const WigglerInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                        const Tabulated& tab, Messages& messages, double& CritEnergy, double& RelBandWidth,
                        WigglerResult& r) {
    const double E = beam.BeamEnergy, I = beam.BeamCurrent, gamma = beam.BeamGamma;
    r.completed = kWigNone;

    // 2-4. Field: a permanent magnet keeps the field of its gap; an electromagnet's field is
    //      the record's, every digit of it. K of the peak field, device length.
    r.permanentMagnet = magnet.MagType == "PM";
    store(r.field, magnet.BField);
    store(magnet.KValue, kKFactor * magnet.BField * magnet.PerLength);
    r.peakK = magnet.KValue;
    r.permMag = magnet.PermMag;
    store(r.devLength, magnet.DevLength);
    r.completed = kWigDeflection;

    // 5. Only electro- and permanent magnets radiate here.
    if (magnet.MagType != "PM" && magnet.MagType != "EM") throw InputError(kChooseMagnetComponentText);

    // 6. A period of 0 is taken as 1 cm (K stays that of the given period).
    if (magnet.PerLength == 0) {
        messages.info(kFinitePeriodText);
        magnet.PerLength = kSubstitutePeriod;
    }
    const double K = r.peakK;

    // 7-8. Orbit: path displacement and deflection angle.
    store(r.pathDisplacement, K * magnet.PerLength / (gamma * Pi));
    store(r.deflection, K / gamma);
    r.completed = kWigOrbit;

    // 9-10. Observation angle in units of the deflection angle. Without deflection there is
    //       no fan to look into; at or beyond the deflection angle, on either side, no pole
    //       points at the observer.
    const double psiX = parseReal(in.HorAngle);
    if (!(K > 0)) throw InputError(kNoDeflectionText);
    const double xiX = checkedValue(mradToRad(psiX) * gamma / K);
    if (!(std::fabs(xiX) < 1.0)) throw InputError(kZeroFluxText, "HorAngle");
    r.psiX = psiX;

    // 11-13. Local field, critical energy and wavelength there.
    store(r.localField, magnet.BField * std::sqrt(1.0 - xiX * xiX));
    store(r.critEnergy, kCritFactor * E * E * r.localField);
    CritEnergy = r.critEnergy;
    store(r.critWaveLength, HC / r.critEnergy);
    r.completed = kWigCritical;

    // 14-16. Photon energy of the wavelength, xi, the local K, the band width.
    const double lambda = parseReal(in.WaveLength);
    if (!(lambda > 0)) throw InputError(kWigglerWaveLengthText, "WaveLength");
    store(r.photonEnergy, HC / angstromToMeters(lambda) + 1e-11);
    store(r.xi, r.photonEnergy / r.critEnergy);
    store(r.localK, kKFactor * r.localField * magnet.PerLength);
    const double bw = parseReal(in.edBandW);
    if (!(bw > 0)) throw InputError(kWigglerBandWidthText, "edBandW");
    const double fraction = requireBandWidthLimit(percentToFraction(bw), "edBandW");
    magnet.KValue = r.localK;
    store(r.relBandWidth, fraction);
    RelBandWidth = r.relBandWidth;
    r.completed = kWigPhoton;

    // 17. Total power of the device, from the peak field.
    store(r.power, kPowerFactor * (E * magnet.BField) * (E * magnet.BField) * I * magnet.DevLength);

    // 18. Photon source sizes at the wavelength of interest.
    if (!(magnet.DevLength > 0)) throw InputError(kWigglerNoPolesText);
    BeamSizesAtSource sizes;
    sizes.Sig_xb = metersToMicrons(beam.SigXb);
    sizes.Sig_yb = metersToMicrons(beam.SigYb);
    sizes.Sig_xp = radToMicrorad(beam.SigXp);
    sizes.Sig_yp = radToMicrorad(beam.SigYp);
    PhotonBeamSize(magnet, 1, angstromToMeters(lambda), sizes);

    // 19-20. Power density at the source and at distance z: the source spot grows with the
    //        photon divergence, and the whole fan of +-K/gamma (peak K) and the vertical
    //        opening of about 1/gamma spread the power.
    store(r.powDensSource, r.power / (TwoPi * magnet.SigTx * magnet.SigTy * 1e6));
    const double z = parseReal(in.edDist);
    if (z < 0) throw InputError(kWigglerDistanceText, "edDist");
    const double wx =
        SqrtTwoPi * std::sqrt(magnet.SigTx * magnet.SigTx + (magnet.SigTxp * z) * (magnet.SigTxp * z)) +
        2.0 * K * z / gamma;
    const double wy =
        SqrtTwoPi * std::sqrt(magnet.SigTy * magnet.SigTy + (magnet.SigTyp * z) * (magnet.SigTyp * z)) +
        2.0 * z / gamma;
    store(r.powDensZ, r.power / (wx * wy) / 1e6);
    r.completed = kWigPower;

    // 22-25. Flux density in the orbit plane summed over the poles, vertical opening angle,
    //        angular flux and brightness. Outside the reach of K2/3 the quotient of step 23
    //        has nothing to divide by.
    const double k = ModBess(tab, 2, r.xi / 2.0);
    if (!(k > 0)) throw InputError(fluxOutOfReachText(r.xi, r.critEnergy));
    store(r.k23, k);
    store(r.fluxDensity, COmega * (E * k) * (E * k) * I * r.relBandWidth * r.xi * r.xi * magnet.NPoles);
    store(r.S, UnivrslF(tab, r.xi));
    store(r.sigPsi, (CPsi / COmega) * r.S / SqrtTwoPi / ((r.xi * k) * (r.xi * k)) / E);
    store(r.angularFlux, r.fluxDensity * SqrtTwoPi * r.sigPsi);
    store(r.brightness, 1e-12 * r.fluxDensity / (TwoPi * magnet.SigTx * magnet.SigTy));
    r.completed = kWigFlux;
}

ResultFields WigglerResults(const WigglerResult& r) {
    ResultFields f;
    const int c = r.completed;
    auto add = [&f](const char* name, const char* label, double value, const char* unit, std::string text,
                    std::string shown) {
        f.push_back(ResultField{name, label, value, unit, std::move(text), std::move(shown)});
    };
    auto addScaled = [&f](const char* name, const char* label, double value, const char* unit, int p, int d) {
        double scaled = 0;
        std::string prefix;
        ScaleToPrefix(value, scaled, prefix);
        f.push_back(ResultField{name, label, value, unit, fixed(scaled, p, d), prefix + unit});
    };
    if (c >= kWigDeflection) {
        if (r.permanentMagnet) {
            add("MagTyp", "magnet type", 0, "", r.permMag, "");
            add("fldmax", "field", r.field, "T", FormatFixed3(r.field), "T");
        } else {
            add("Wfield", "field", r.field, "T", FormatFixed3(r.field), "T");
        }
        if (c >= kWigPhoton)
            add("Kpar", "K-value", r.localK, "", fixed(r.localK, 4, 3), "");
        else
            add("Kpar", "K-value", r.peakK, "", FormatFixed3(r.peakK), "");
        add("edWLen", "wiggler length", r.devLength, "m", FormatFixed3(r.devLength), "m");
    }
    if (c >= kWigOrbit) {
        add("Edtxmax", "path displacement", r.pathDisplacement, "m",
            fixed(metersToMicrons(r.pathDisplacement), 4, 1), "µm");
        add("Edtmxdefl", "deflection", r.deflection, "rad", fixed(radToMicrorad(r.deflection), 4, 1), "µrad");
    }
    if (c >= kWigCritical) {
        addScaled("Ephcrit", "critical energy", r.critEnergy, "eV", 5, 3);
        add("Lamcrit", "critical wavelength", r.critWaveLength, "m",
            fixed(metersToAngstrom(r.critWaveLength), 5, 3), "Å");
    }
    if (c >= kWigPhoton) {
        addScaled("EdtPhEnergy", "photon energy", r.photonEnergy, "eV", 4, 3);
        add("Edtxi", "e_ph/e_crit", r.xi, "", fixed(r.xi, 4, 3), "");
    }
    if (c >= kWigPower) {
        addScaled("PowTot", "total radiation power", r.power, "W", 4, 3);
        addScaled("edPowmm", "power density at the source", r.powDensSource, "W/mm^2", 4, 3);
        addScaled("edPwmmz", "power density downstream", r.powDensZ, "W/mm^2", 4, 3);
    }
    if (c >= kWigFlux) {
        add("AngPhDen", "flux density", r.fluxDensity * 1e-6, "ph/s/mr^2",
            exponent(r.fluxDensity * 1e-6, 3, 2), "ph/s/mr^2");
        add("sigpsi", "vert.cone", r.sigPsi, "rad", general(radToMicrorad(r.sigPsi), 3, 3), "µrad");
        add("AngFlux", "angular flux", r.angularFlux * 1e-3, "ph/s/mr", exponent(r.angularFlux * 1e-3, 3, 2),
            "ph/s/mr");
        add("EdtBright", "brightness", r.brightness, "ph/s/mr^2/mm^2", exponent(r.brightness, 3, 2),
            "ph/s/mr^2/mm^2");
    }
    return f;
}

std::string wigglerUnitLabel(const std::string& name) {
    if (name == "Ephcrit") return "LeV";
    if (name == "EdtPhEnergy") return "LeV2";
    if (name == "PowTot") return "lW";
    if (name == "edPowmm") return "LWmm";
    if (name == "edPwmmz") return "lPwmmz";
    return "";
}

}  // namespace lumerad
