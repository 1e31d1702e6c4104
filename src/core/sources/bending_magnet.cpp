#include "core/sources/bending_magnet.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/number_text.h"
#include "core/numerics/special_functions.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
constexpr double kRhoFactor = 0.29979;     // 1/rho = 0.29979 B / E
constexpr double kCritFactor = 665.0;      // eps_c = 665 E^2 B (eV)
constexpr double kCritWaveFactor = 12394;  // lambda_c (Angstrom) = 12394 / eps_c (eV)
constexpr double kFluxFactor = 3.967e19;
constexpr double kDensFactor = 1.3273e22;
constexpr double kPowerFactor = 88575;
constexpr double kMinXi = 1e-6;
constexpr double kBesselFloor = 1e-50;
constexpr double kDensityFloor = 1.0;

// Stores a value after testing the floating-point flags, so that a fault never reaches the
// result.
void store(double& target, double v) { target = checkedValue(v); }
}  // namespace

double BendingRadiusFromField(double beamEnergyGeV, double field) {
    return checkedValue(beamEnergyGeV / (CLight / 1e9) / field);
}

void RecalcSRPar(const BendingMagnetInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                 const Tabulated& tab, double& CritEnergy, double& RelBandWidth, BendingMagnetResult& r) {
    const double E = beam.BeamEnergy, I = beam.BeamCurrent, gamma = beam.BeamGamma;
    r.completed = 0;
    clearFloatFaults();  // only this calculation's own faults count

    // 1. A bending magnet is one pole.
    if (magnet.NPoles != 1) magnet.NPoles = 1;
    r.completed = 1;
    const double B = magnet.BField;

    // 2. Vertical observation angle.
    store(r.psi, parseReal(in.VerObsAng) / gamma);
    r.completed = 2;

    // 3. Bending radius.
    store(r.rho, 1.0 / (kRhoFactor * B / E));
    r.completed = 3;

    // 4. Beam rigidity.
    store(r.rigidity, GeVToeV(E) / CLight);
    r.completed = 4;

    // 5. Critical photon energy.
    store(r.critEnergy, E * E * kCritFactor * B);
    CritEnergy = r.critEnergy;
    r.completed = 5;

    // 6. Critical wavelength.
    if (r.critEnergy > 0) store(r.critWaveLength, kCritWaveFactor / r.critEnergy);
    r.completed = 6;

    // 7. Photon energy of the wavelength.
    const double lambda = angstromToMeters(parseReal(in.WaveLength));
    if (!(lambda > 0)) throw InputError(kWaveLengthText, "WaveLength");
    store(r.photonEnergy, HPlanck * CLight / ElCharge / lambda);
    r.completed = 7;

    // 8. Photon energy in units of the critical energy; a very long wavelength (or a
    //    negative field) is replaced by 1e-6 of the critical energy.
    double xi = std::max(r.photonEnergy / r.critEnergy, kMinXi);
    checkFloatFaults();
    if (xi == kMinXi) store(r.photonEnergy, xi * r.critEnergy);
    r.xi = xi;
    r.completed = 8;

    // 9. Band width.
    store(r.relBandWidth, percentToFraction(parseReal(in.edBandW)));
    requireBandWidth(r.relBandWidth, "edBandW");
    RelBandWidth = r.relBandWidth;
    r.completed = 9;

    // 10. Angular photon flux, integrated over the vertical angle.
    store(r.S, UnivrslF(tab, xi));
    store(r.flux, kFluxFactor * E * I * r.relBandWidth * r.S / 1000.0);
    r.completed = 10;

    // 11. Argument of the Bessel functions at the observation angle.
    store(r.X, (gamma * r.psi) * (gamma * r.psi));
    store(r.Y, 1.0 + r.X);
    store(r.eta, xi / 2.0 * Power(r.Y, 1.5));
    r.completed = 11;

    // 12. K1/3 and K2/3.
    double k1 = ModBess(tab, 1, r.eta), k2 = ModBess(tab, 2, r.eta);
    if (k1 < kBesselFloor) k1 = 0;
    if (k2 < kBesselFloor) k2 = 0;
    store(r.k1, k1);
    store(r.k2, k2);
    r.completed = 12;

    // 13. Vertical opening angle: the angle-integrated flux over sqrt(2 pi) times the angular
    //     density on the axis. It is a property of the photon energy, so K2/3 is taken on the
    //     axis (at xi/2), not at the observation angle: off the axis the density falls off and
    //     the quotient would grow without bound. Kept from the last computation when K2/3
    //     vanishes.
    double k2axis = ModBess(tab, 2, xi / 2.0);
    if (k2axis < kBesselFloor) k2axis = 0;
    checkFloatFaults();
    if (k2axis != 0) {
        store(r.sigPsi,
              (kFluxFactor * r.S / kDensFactor / std::sqrt(TwoPi)) / ((xi * k2axis) * (xi * k2axis)) / E);
    }
    r.completed = 13;

    // 14. Angular flux densities in the two polarisations.
    const double A = xi * xi * E * E * kDensFactor * I * r.relBandWidth * 1e-6;
    double ds = (r.k2 * r.Y) * (r.k2 * r.Y) * A;
    double dp = r.k1 * r.k1 * A * r.Y * r.X;
    double dt = ds + dp;
    checkFloatFaults();
    if (ds < kDensityFloor) ds = 0;
    if (dp < kDensityFloor) dp = 0;
    if (dt < kDensityFloor) dt = 0;
    store(r.densSigma, ds);
    store(r.densPi, dp);
    store(r.densTotal, dt);
    r.completed = 14;

    // 15. Total and angular power.
    store(r.power, Power(E, 4) * kPowerFactor * I / r.rho);
    store(r.angularPower, r.power / TwoPi / 1000.0);
    r.completed = 15;

    // 16. Power density at the source point.
    store(r.powDensSource, r.power / (Pi * gamma) / (TwoPi * beam.SigXb * beam.SigYb * 1e6));
    r.completed = 16;

    // 17. Power density at distance z, normal incidence: the beam sizes grow with the
    //     beam divergence and the radiation's own opening angle.
    const double z = parseReal(in.edDist);
    const double d = (2.0 / gamma) * (2.0 / gamma) / TwoPi;
    const double sy = std::sqrt(z * z * (d + beam.SigYp * beam.SigYp) + beam.SigYb * beam.SigYb);
    const double sx = std::sqrt(z * z * (d + beam.SigXp * beam.SigXp) + beam.SigXb * beam.SigXb);
    store(r.powDensZ, r.power / (Pi * gamma) / (TwoPi * sx * sy * 1e6));
    r.completed = 17;

    // 18. The same density on a surface inclined by the incidence angle.
    const double alpha = parseReal(in.edIncAng) * Pi / 180.0;
    store(r.powDensInclined, r.powDensZ * std::sin(alpha));
    r.completed = 18;
}

const std::vector<BendingMagnetField>& BendingMagnetFields() {
    static const std::vector<BendingMagnetField> fields = {
        {"EdtRho", "bending radius", "m", "m", ""},
        {"edRigidity", "beam rigidity", "T m", "T m", ""},
        {"Ephcrit", "critical photon energy", "eV", "eV", "LeV"},
        {"Lamcrit", "critical wavelength", "m", "Å", ""},
        {"EdtPhEnergy", "photon energy", "eV", "eV", "LPhotEn"},
        {"Edtxi", "ε/εc", "", "", ""},
        {"PhFlux", "angular photon flux", "ph/s/mrad", "ph/s/mr", ""},
        {"edSigPsi", "vert. opening angle σψ", "rad", "mr", ""},
        {"AngPhDenSig", "flux density, σ-mode", "ph/s/mrad^2", "ph/s/mr^2", ""},
        {"AngPhDenPi", "flux density, π-mode", "ph/s/mrad^2", "ph/s/mr^2", ""},
        {"AngPhDen", "flux density, total", "ph/s/mrad^2", "ph/s/mr^2", ""},
        {"PowTot", "total power", "W", "W;", "lW"},
        {"Pow_mr", "angular power", "W/mrad", "W/mr", "lWmr"},
        {"edPowmm", "power density at source", "W/mm^2", "W/mm^2", "lWmm"},
        {"edPwmmz", "power density at distance", "W/mm^2", "W/mm^2", "lPwmmz"},
        {"edPowInc", "on inclined surface", "W/mm^2", "W/mm^2", "lPowInc"},
    };
    return fields;
}

ResultFields BendingMagnetResults(const BendingMagnetResult& r) {
    ResultFields out;
    auto add = [&out](const char* name, double value, std::string text, std::string shownUnit = {}) {
        for (const BendingMagnetField& f : BendingMagnetFields())
            if (std::string(f.name) == name) {
                out.push_back({f.name, f.label, value, f.unit, std::move(text),
                               shownUnit.empty() ? std::string(f.designUnit) : std::move(shownUnit)});
                return;
            }
    };
    // A value scaled to a unit prefix: the text of the scaled number, the prefix before the unit.
    auto scaled = [&add](const char* name, double value, auto format, const std::string& unit) {
        double s = 0;
        std::string prefix;
        ScaleToPrefix(value, s, prefix);
        add(name, value, format(s), prefix + unit);
    };
    const int c = r.completed;
    if (c >= 3) add("EdtRho", r.rho, FormatFixed3(r.rho));
    if (c >= 4) add("edRigidity", r.rigidity, FormatFixed3(r.rigidity));
    auto general4 = [](double v) { return general(v, 4, 3); };
    auto general5 = [](double v) { return general(v, 5, 3); };
    if (c >= 5) scaled("Ephcrit", r.critEnergy, general4, "eV");
    if (c >= 6) {
        if (r.critEnergy > 0)
            add("Lamcrit", angstromToMeters(r.critWaveLength), general(r.critWaveLength, 4, 3));
        else
            add("Lamcrit", std::nan(""), "");
    }
    if (c >= 8) {
        scaled("EdtPhEnergy", r.photonEnergy, general5, "eV");
        add("Edtxi", r.xi, general(r.xi, 4, 3));
    }
    if (c >= 10) add("PhFlux", r.flux, FormatGeneral4(r.flux));
    if (c >= 13) add("edSigPsi", r.sigPsi, general(radToMrad(r.sigPsi), 3, 3));
    if (c >= 14) {
        add("AngPhDenSig", r.densSigma, exponent(r.densSigma, 3, 2));
        add("AngPhDenPi", r.densPi, exponent(r.densPi, 3, 2));
        add("AngPhDen", r.densTotal, exponent(r.densTotal, 3, 2));
    }
    auto fixed42 = [](double v) { return fixed(v, 4, 2); };
    auto fixed43 = [](double v) { return fixed(v, 4, 3); };
    if (c >= 15) {
        scaled("PowTot", r.power, fixed42, "W;");
        scaled("Pow_mr", r.angularPower, fixed42, "W/mr");
    }
    if (c >= 16) scaled("edPowmm", r.powDensSource, fixed43, "W/mm^2");
    if (c >= 17) scaled("edPwmmz", r.powDensZ, fixed43, "W/mm^2");
    if (c >= 18) scaled("edPowInc", r.powDensInclined, fixed43, "W/mm^2");
    return out;
}

std::vector<std::pair<std::string, std::string>> BendingMagnetTexts(const BendingMagnetResult& r) {
    std::vector<std::pair<std::string, std::string>> t;
    for (const ResultField& f : BendingMagnetResults(r)) {
        t.emplace_back(f.name, f.text);
        for (const BendingMagnetField& d : BendingMagnetFields())
            if (f.name == d.name && *d.unitLabel) t.emplace_back(d.unitLabel, f.shownUnit);
    }
    return t;
}

}  // namespace lumerad
