#include "core/spectra/synchrotron_spectrum.h"

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
#include "core/numerics/wide_loops.h"
#include "core/sources/bending_magnet.h"

namespace lumerad {

namespace {
constexpr double kCritFactor = 665.0;  // eps_c = 665 E^2 B (eV)
constexpr double kMinStepFactor = 1.001;
// Beyond this many points a scan is not counted one by one; its size is estimated.
constexpr double kCountLimit = 1e7;

std::string countText(double n) { return general(n, 18, 0); }

[[noreturn]] void refuseCount(double n) {
    const std::string what = std::isfinite(n) ? "the scan would make " + countText(n) + " points"
                                              : "the scan would make too many points";
    throw InputError(what + "; at most " + countText(kMaxSpectrumPoints) +
                     " points are allowed! choose a larger step or a smaller range.");
}

std::string f6(double x) { return pattern("%6.3f", x); }
}  // namespace

ObservationPoint observationPoint(bool wigglerMode, bool bendMagMode, const MagnetState& magnet,
                                  const CurrentBeam& beam, const ObservationPoint& previous) {
    ObservationPoint p = previous;
    p.wiggler = wigglerMode;
    p.bendingMagnet = !wigglerMode && bendMagMode;
    if (wigglerMode) {
        p.Hobs = "0.0";
        p.HobsMax = " mr < " + FormatFixed3(checkedValue(radToMrad(magnet.KValue / beam.BeamGamma))) + " mr";
        p.HobsMaxHint = "maximum wiggler deflection angle.";
        p.HorObsAngle = mradToRad(parseReal(p.Hobs));
        const double r = p.HorObsAngle * beam.BeamGamma / magnet.KValue;
        p.ObsField = checkedValue(magnet.BField * std::sqrt(1.0 - r * r));
    } else if (bendMagMode) {
        p.Hobs.clear();
        p.HorObsAngle = 0;
        p.HobsMax.clear();
        p.HobsMaxHint.clear();
        p.ObsField = magnet.BField;
    }
    return p;
}

double spectrumCritEnergy(double E, double field) { return checkedValue(kCritFactor * E * E * field); }

EnergyScan energyScanSettings(const std::string& e_phmin, const std::string& e_phmax,
                              const std::string& De_ph, Messages& messages) {
    EnergyScan s;
    s.emin = parseReal(e_phmin);
    s.emax = parseReal(e_phmax);
    s.f = checkedValue(1.0 + percentToFraction(parseReal(De_ph)));
    // The test is made on the factor: an entry of "0.1" comes out just below 0.001.
    if (s.f - 1.0 < 0.001) {
        messages.info(kStepTooSmallText);
        s.f = kMinStepFactor;
        s.stepReset = true;
    }
    return s;
}

namespace {
// The number of points of an energy scan, counted the way the scan multiplies, so that the
// rounding of the factor is the scan's own; with energies, their photon energies too.
int countEnergyScan(const EnergyScan& s, std::vector<double>* energies) {
    if (!(s.emin > 0) || !std::isfinite(s.emin))
        throw InputError("the minimum photon energy must be greater than 0 eV!");
    if (!(s.f > 1) || !std::isfinite(s.f)) throw InputError("the step size must be greater than 0%!");
    if (!std::isfinite(s.emax)) refuseCount(INFINITY);
    double n = 1;
    if (s.emax > s.emin) n = std::floor((std::log(s.emax) - std::log(s.emin)) / std::log(s.f)) + 1;
    if (n <= kCountLimit) {
        if (energies) energies->reserve(static_cast<size_t>(std::min(n + 2, double(kMaxSpectrumPoints))));
        long count = 0;
        double e = s.emin;
        do {
            ++count;
            if (energies && count <= kMaxSpectrumPoints) energies->push_back(e);
            const double next = e * s.f;
            // Below the normal doubles the product rounds back to the same value: the
            // scan would never reach its end.
            if (!(next > e)) throw InputError(kStepStallsText, "e_phmin");
            e = next;
        } while (!(e > s.emax));
        n = static_cast<double>(count);
    }
    if (n > kMaxSpectrumPoints) refuseCount(n);
    return static_cast<int>(n);
}
}  // namespace

int energyScanPointCount(const EnergyScan& s) { return countEnergyScan(s, nullptr); }

int angleScanPointCount(double psiMax, double dPsi) {
    if (!(dPsi > 0) || !std::isfinite(dPsi)) throw InputError("the angle step must be greater than 0!");
    if (!std::isfinite(psiMax)) refuseCount(INFINITY);
    double n = 1;
    if (psiMax > 0) {
        // in logarithms, so that a huge ratio does not overflow
        const double lr = std::log(psiMax) - std::log(dPsi);
        n = lr < 700 ? std::floor(std::exp(lr)) + 1 : INFINITY;
    }
    if (n <= kCountLimit) {
        // Count the way the scan adds, so the rounding of the sums is the scan's own.
        long count = 0;
        double psi = 0;
        do {
            ++count;
            const double next = psi + dPsi;
            if (!(next > psi)) throw InputError(kAngleStepStallsText, "edDAng");
            psi = next;
        } while (!(psi > psiMax));
        n = static_cast<double>(count);
    }
    if (n > kMaxSpectrumPoints) refuseCount(n);
    return static_cast<int>(n);
}

SpectrumFactors spectrumFactors(const CurrentBeam& beam, int nPoles, double relBandWidth, double psiV) {
    const double E = beam.BeamEnergy, I = beam.BeamCurrent;
    SpectrumFactors k;
    k.A = CPsi * E * I * nPoles * relBandWidth;
    k.B = E * E * COmega * I * relBandWidth * nPoles;
    k.C = (CPsi / COmega) / std::sqrt(2.0 * Pi) / E;
    k.psiV = psiV;
    k.P = Power(1.0 + psiV * psiV, 1.5);
    checkFloatFaults();
    return k;
}

SpectrumPoints angleScanPoints(int item, const Tabulated& tab, double psiMax, double dPsi, double phEn,
                               double critEnergy, const SpectrumFactors& k) {
    SpectrumPoints pts;
    const double y = phEn / critEnergy;
    const double norm =
        checkedValue((y * ModBess(tab, 2, y / 2.0)) * (y * ModBess(tab, 2, y / 2.0)) * k.B / 1e6);
    if (item != kSigmaPi && item != kSigmaPiNormalized) return pts;
    const int n = angleScanPointCount(psiMax, dPsi);
    pts.x.reserve(n);
    pts.value.reserve(n);
    pts.pi.reserve(n);
    double psi = 0;
    do {
        const double q = 1.0 + psi * psi;
        const double xi = Power(q, 1.5) * y / 2.0;
        const double k23 = ModBess(tab, 2, xi), k13 = ModBess(tab, 1, xi);
        double s = (q * y * k23) * (q * y * k23) * k.B / 1e6;
        double p = (y * k13) * (y * k13) * k.B / 1e6 * psi * psi * q;
        if (item == kSigmaPiNormalized) {
            s = s / norm;
            p = p / norm;
        }
        pts.x.push_back(psi);
        pts.value.push_back(s);
        pts.pi.push_back(p);
        psi += dPsi;
    } while (!(psi > psiMax));
    checkFloatFaults();
    return pts;
}

namespace {
constexpr long kChunk = 256;

// energyPoints for at most kChunk energies.
void energyChunk(int item, bool wigglerMode, const Tabulated& tab, const double* e, long n, double critEnergy,
                 double area, const SpectrumFactors& k, double* value, double* pi) {
    const double psi2 = k.psiV * k.psiV;
    const double q = 1.0 + psi2;
    double y[kChunk], xi[kChunk], k13[kChunk], k23[kChunk];
    wide::run([&] {
        for (long i = 0; i < n; ++i) {
            y[i] = e[i] / critEnergy;
            xi[i] = y[i] / 2.0 * k.P;
        }
    });
    switch (item) {
        case kAngularFlux:
            UnivrslF(tab, y, k13, n);
            wide::run([&] {
                for (long i = 0; i < n; ++i) value[i] = k.A * k13[i] / 1000.0;
            });
            break;
        case kSpatialFluxDensity:
            UnivrslF(tab, y, k13, n);
            wide::run([&] {
                for (long i = 0; i < n; ++i) value[i] = (k.A * k13[i] / 1000.0) / area;
            });
            break;
        case kAngularFluxDensity:
            ModBess(tab, 2, xi, k23, n);
            ModBess(tab, 1, xi, k13, n);
            wide::run([&] {
                for (long i = 0; i < n; ++i)
                    value[i] =
                        (q * y[i]) * (q * y[i]) * k.B / 1e6 * (k23[i] * k23[i] + psi2 / q * k13[i] * k13[i]);
            });
            break;
        case kSigmaPi:
        case kSigmaPiNormalized: {
            // the normalised curves are divided by the first sigma value, which makes the
            // factor 1e-6 drop out
            const double scale = item == kSigmaPi ? 1e6 : 1.0;
            ModBess(tab, 2, xi, k23, n);
            if (!wigglerMode) ModBess(tab, 1, xi, k13, n);
            wide::run([&] {
                for (long i = 0; i < n; ++i)
                    value[i] = (q * y[i] * k23[i]) * (q * y[i] * k23[i]) * k.B / scale;
            });
            // a wiggler's spectrum shows no pi-mode curve
            if (wigglerMode) {
                std::fill(pi, pi + n, 0.0);
                break;
            }
            wide::run([&] {
                for (long i = 0; i < n; ++i)
                    pi[i] = (y[i] * k13[i]) * (y[i] * k13[i]) * k.B / scale * psi2 * q;
            });
            break;
        }
        case kDivergence: {
            // The rms opening angle belongs to the photon energy: angular flux over the
            // density on the axis, whatever vertical angle the other quantities use.
            wide::run([&] {
                for (long i = 0; i < n; ++i) xi[i] = y[i] / 2.0;
            });
            ModBess(tab, 2, xi, k23, n);
            // Far above the critical energy K2/3 is out of the functions' reach (it is
            // given as 0 beyond 35): the quotient has nothing to divide by there.
            for (long i = 0; i < n; ++i)
                if (k23[i] == 0 && y[i] > 0) throw InputError(divergenceOutOfReachText(critEnergy));
            UnivrslF(tab, y, k13, n);
            wide::run([&] {
                for (long i = 0; i < n; ++i)
                    value[i] = 1000.0 * k.C * k13[i] / ((y[i] * k23[i]) * (y[i] * k23[i]));
            });
            break;
        }
        default:
            break;
    }
}
}  // namespace

void energyPoints(int item, bool wigglerMode, const Tabulated& tab, const double* e, long n,
                  double critEnergy, double area, const SpectrumFactors& k, double* value, double* pi) {
    for (long start = 0; start < n; start += kChunk)
        energyChunk(item, wigglerMode, tab, e + start, std::min(kChunk, n - start), critEnergy, area, k,
                    value + start, pi ? pi + start : nullptr);
}

SpectrumPoint energyScanPoint(int item, bool wigglerMode, const Tabulated& tab, double e, double critEnergy,
                              double area, const SpectrumFactors& k) {
    SpectrumPoint p;
    energyPoints(item, wigglerMode, tab, &e, 1, critEnergy, area, k, &p.value, &p.pi);
    return p;
}

double spectrumSourceArea(const CurrentBeam& beam) { return TwoPi * beam.SigXb * beam.SigYb * 1e6; }

void normaliseToFirstPoint(double* value, double* pi, long n, bool wigglerMode) {
    if (n <= 0) return;
    const double norm = value[0];
    value[0] = 1.0;
    for (long i = 1; i < n; ++i) value[i] = value[i] / norm;
    if (!wigglerMode)
        for (long i = 0; i < n; ++i) pi[i] = pi[i] / norm;
}

SpectrumPoints energyScanPoints(int item, bool wigglerMode, const Tabulated& tab, const EnergyScan& scan,
                                double critEnergy, const CurrentBeam& beam, const SpectrumFactors& k) {
    SpectrumPoints pts;
    const int n = countEnergyScan(scan, &pts.x);
    const bool polarisation = item == kSigmaPi || item == kSigmaPiNormalized;
    if (item < kAngularFlux || item > kDivergence) return pts;
    pts.value.resize(n);
    if (polarisation) pts.pi.resize(n);
    energyPoints(item, wigglerMode, tab, pts.x.data(), n, critEnergy, spectrumSourceArea(beam), k,
                 pts.value.data(), polarisation ? pts.pi.data() : nullptr);
    if (item == kSigmaPiNormalized) normaliseToFirstPoint(pts.value.data(), pts.pi.data(), n, wigglerMode);
    // One test of the flags for the whole scan, then each value for itself.
    checkFloatFaults();
    for (double v : pts.value) checkedScanValue(v);
    for (double v : pts.pi) checkedScanValue(v);
    return pts;
}

std::string divergenceOutOfReachText(double critEnergy) {
    return "the opening angle cannot be computed above 70 critical energies (" +
           general(70.0 * critEnergy, 5, 3) +
           " eV), where the on-axis flux density vanishes! choose a smaller maximum photon energy.";
}

std::string spectrumItemText(int item) {
    switch (item) {
        case 0:
            return "angular flux, ph/s/mr";
        case 1:
            return "s_flux density, ph/s/mr/mm^2";
        case 2:
            return "a_flux density, ph/s/mr^2";
        case 3:
            return "a_flux density, sig and pi-mode";
        case 4:
            return "a_flux density, sig/pi norm.";
        case 5:
            return "divergence, sigma_y, mr";
    }
    return {};
}

std::string spectrumAxisCaption(int item) {
    switch (item) {
        case 0:
            return "photon flux, ph/s/mr";
        case 1:
            return "photon flux, ph/s/mr/mm^2";
        case 2:
            return "flux density, ph/s/mr^2";
        case 3:
            return "sigma/pi-mode flux density, ph/s/mr^2";
        case 4:
            return "sigma/pi-mode flux density, normalized";
        case 5:
            return "angular divergence, sigma_y(mr)";
    }
    return {};
}

std::string spectrumTitleLine(int item, bool angleScan) {
    switch (item) {
        case 0:
            return " angular photon flux vs photon energy";
        case 1:
            return " photon flux density vs photon energy";
        case 2:
            return " angular photon flux density vs photon energy ";
        case 3:
            return std::string(" sigma and pi-mode angular photon flux density vs ") +
                   (angleScan ? "observation angle (1/gamma)" : "photon energy");
        case 4:
            return std::string(" sigma and pi-mode flux density(ph/s/mr^2)normalized vs ") +
                   (angleScan ? "observation angle (1/gamma)" : "photon energy (eV)");
        case 5:
            return " photon beam divergence sigma_y vs energy (eV)";
    }
    return {};
}

std::string spectrumColumnLine(int item) {
    switch (item) {
        case 0:
            return " photon energy (eV)     flux (ph/s/mr)";
        case 1:
            return " photon energy (eV)     flux (ph/s/mr/mm^2)";
        case 2:
            return " photon energy (eV)     flux (ph/s/mr^2)";
        case 3:
        case 4:
            return " photon energy (eV)     sigma-mode_(ph/s/mr^2) pi-mode_(ph/s/mr^2)";
        case 5:
            return " photon energy (eV)     sigma_y(mr)";
    }
    return {};
}

std::string sigmaCurveText(int item) {
    return item == kSigmaPiNormalized ? "sigma-mode photon flux (normalized)" : "sigma-mode photon flux";
}

std::string piCurveText(int item) {
    return item == kSigmaPiNormalized ? "pi-mode photon flux (normalized)" : "pi-mode photon flux";
}

std::string spectrumFileHeader(int item, bool angleScan) {
    return dataFileTextLine(spectrumTitleLine(item, angleScan)) + dataFileTextLine(spectrumColumnLine(item));
}

std::string spectrumFilePointLine(int item, const SpectrumPoints& pts, int i) {
    if (item == kSigmaPi || item == kSigmaPiNormalized)
        return dataFileLine({pts.x[i], pts.value[i], pts.pi[i]});
    return dataFileLine({pts.x[i], pts.value[i]});
}

double spectrumRelBandWidth(const std::string& percentText) {
    return requireBandWidth(checkedValue(percentToFraction(parseReal(percentText))), "BW");
}

ResultField spectrumCritEnergyField(double critEnergy) {
    double scaled = 0;
    std::string prefix;
    ScaleToPrefix(critEnergy, scaled, prefix);
    return {"Ephcrit", "critical photon energy:", critEnergy, "eV", FormatFixed3(scaled), prefix + "eV"};
}

std::vector<std::pair<int, std::string>> beamInfoLines(const std::string& name, double E, double I,
                                                       double emitX) {
    return {{1, "storage ring      " + name},
            {2, "beam energy       " + f6(E) + " GeV"},
            {3, "beam current      " + f6(amperesTomA(I)) + " mA"},
            {4, "horiz.emittance   " + f6(metersToNm(emitX)) + " nm"}};
}

std::vector<std::pair<int, std::string>> curveLegendLines(const LegendInput& in) {
    std::vector<std::pair<int, std::string>> l = beamInfoLines(in.BeamName, in.E, in.I, in.EmitX);
    l.emplace_back(5, "------------------------");
    l.emplace_back(6, "source magnet     " + in.SrcName);
    l.emplace_back(7, "field strength    " + f6(in.ObsField) + " T");
    if (in.wigglerMode) {
        l.emplace_back(8, "number of poles   " + FormatInt5(in.NPoles));
        l.emplace_back(9, "period length     " + f6(metersToMm(in.PerLength)) + " mm");
        l.emplace_back(10, "obs. angle,horiz. " + f6(radToMrad(in.HorObsAngle)) + " mr");
    } else if (in.bendMagMode) {
        l.emplace_back(8, in.vsAngle ? "photon energy " + in.edPhEn + " eV"
                                     : "obs. angle (vert) " + in.edVAng + "(1/gamma)");
        l.emplace_back(9, "");
        l.emplace_back(10, "");
    }
    l.emplace_back(11, "band width        " + f6(fractionToPercent(in.RelBandWidth)) + " %");
    return l;
}

}  // namespace lumerad
