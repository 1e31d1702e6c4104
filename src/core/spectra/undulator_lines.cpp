#include "core/spectra/undulator_lines.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/input_limits.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"
#include "core/sources/undulator.h"
#include "core/spectra/synchrotron_spectrum.h"

namespace lumerad {

namespace {
void store(double& target, double v) { target = checkedValue(v); }

std::string f6(double x) { return pattern("%6.3f", x); }

ResultField field(const char* name, const char* label, double value, const char* unit, std::string text,
                  const char* shownUnit) {
    return ResultField{name, label, value, unit, std::move(text), shownUnit};
}

void requireUndulator(const UndulatorState& und) {
    if (!(und.FundWaveLen > 0) || !std::isfinite(und.FundWaveLen) || und.Harmonic < 1)
        throw InputError(kNoUndulatorYetText);
}
}  // namespace

std::string lineQuantityItem(int q) {
    switch (q) {
        case kLineAngularFlux:
            return "angular flux, ph/s/sr";
        case kLineFlux:
            return "flux, ph/s";
        case kLineFluxDensity:
            return "flux density, ph/s/mm^2";
        case kLineBrightness:
            return "brightness, ph/s/mm^2/mr^2";
    }
    return {};
}

std::string lineQuantityCaption(int q) {
    switch (q) {
        case kLineAngularFlux:
            return "flux, ph/sec/sr ";
        case kLineFlux:
            return "flux, ph/sec ";
        case kLineFluxDensity:
            return "flux density, ph/sec/mm^2";
        case kLineBrightness:
            return "brightness, ph/sec/mm^2/mr^2";
    }
    return {};
}

BeamSizesAtSource beamSizes(const CurrentBeam& beam) {
    return BeamSizesAtSource{metersToMicrons(beam.SigXb), metersToMicrons(beam.SigYb),
                             radToMicrorad(beam.SigXp), radToMicrorad(beam.SigYp)};
}

// --- Flux window

void UndFluxCalculate(const std::string& EdtBW, const CurrentBeam& beam, MagnetState& m,
                      const UndulatorState& und, UndFluxResult& r) {
    r.completed = 0;
    requireUndulator(und);
    const int i = und.Harmonic;
    const double lambda = und.FundWaveLen / i;
    r.harmonic = i;
    store(r.photonEnergy, i * und.FundPhotEn);
    r.wavelength = lambda;
    r.coneAngle = und.ConeAngle;
    // The source of the harmonic: its own wavelength sets the diffraction terms.
    PhotonBeamSize(m, i, und.FundWaveLen, beamSizes(beam));
    r.completed = 1;

    store(r.relBandWidth, percentToFraction(parseReal(EdtBW, "EdtBW")));
    if (!(r.relBandWidth > 0)) throw InputError(kPositiveBandWidthText, "EdtBW");
    requireBandWidthLimit(r.relBandWidth, "EdtBW");
    const double perBW = onAxisFluxPerBW(i, m.KValue, m.NPeriods, beam.BeamGamma, beam.BeamCurrent);
    store(r.FOmega, perBW * r.relBandWidth);
    store(r.F, perBW * TwoPi * und.ConeAngle * und.ConeAngle * r.relBandWidth);
    // The peak of the Gaussian source's spatial density, as in the brightness below and in the
    // line spectrum's flux density.
    store(r.D, r.F / (TwoPi * m.SigTx * m.SigTy));
    store(r.B, 1e-12 * r.F / (TwoPi * TwoPi * m.SigTx * m.SigTxp * m.SigTy * m.SigTyp));
    store(r.Bd, 4e-12 * r.F / (lambda * lambda));
    // An even harmonic has no flux on the axis: no brightness, no coherent part.
    r.eta = r.Bd > 0 ? checkedValue(r.B / r.Bd) : 0.0;
    r.completed = 2;
}

ResultFields UndFluxTexts(const UndFluxResult& r) {
    ResultFields t;
    if (r.completed >= 1) {
        t.push_back(
            field("TLPhEn", "photon energy :", r.photonEnergy, "eV", FormatFixed3(r.photonEnergy), " eV"));
        t.push_back(field("TLWvlenAng", "photon  wavelength:", r.wavelength, "m",
                          FormatFixed3(metersToAngstrom(r.wavelength)), "Å"));
        t.push_back(field("TLharmonic", "harmonic", r.harmonic, "", std::to_string(r.harmonic), ""));
        t.push_back(field("LsigTheta", "diffraction limited opening angle, σ' =", r.coneAngle, "rad",
                          FormatFixed3(radToMicrorad(r.coneAngle)), "µrad"));
    }
    if (r.completed >= 2) {
        t.push_back(field("LDifPhFlx", "differential photon flux,                    dN_ph/dt/dOmega = ",
                          r.FOmega, "ph/s/sr", FormatGeneral4(r.FOmega), "photons/sec/sr"));
        t.push_back(field("LfLUX", "angle integrated photon flux,                          dN_ph/dt = ", r.F,
                          "ph/s", FormatGeneral4(r.F), "photons/sec"));
        t.push_back(field("flden", "flux density at source                                dN_ph/dt/dA =",
                          r.D * 1e-6, "ph/s/mm^2", FormatGeneral4(r.D * 1e-6), "ph/sec/mm^2"));
        t.push_back(field("lBright", "brightness, B =", r.B, "ph/s/mm^2/mrad^2", FormatGeneral4(r.B),
                          "ph/sec/mm^2/mr^2"));
        t.push_back(field("LDiffBright", "diffraction limited brightness, B-diff =", r.Bd, "ph/s/mm^2/mrad^2",
                          FormatGeneral4(r.Bd), "ph/sec/mm^2/mr^2"));
        t.push_back(field("LCohFraction", "spatially coherent fraction of radiation, η =",
                          fractionToPercent(r.eta), "%", FormatFixed3(fractionToPercent(r.eta)), "%"));
    }
    return t;
}

// --- Line spectrum

std::vector<int> LineListState::harmonics() const {
    std::vector<int> h;
    int i = iFrom;
    do {
        h.push_back(i);
        i += 2;
    } while (i <= iTo);
    return h;
}

double RadFlux(int i, int quantity, double K, double fundWaveLen, const CurrentBeam& beam, MagnetState& m,
               double relBandWidth) {
    return checkedValue(
        radFluxUnchecked(i, quantity, K, fundWaveLen, beam, m, relBandWidth, harmonicBesselFactor(i, K)));
}

double radFluxUnchecked(int i, int quantity, double K, double fundWaveLen, const CurrentBeam& beam,
                        MagnetState& m, double relBandWidth, double besselFactor) {
    const int N = m.NPeriods;
    // Flux into the central cone, reduced by the energy spread.
    double F = centralConeFluxPerBW(i, K, N, beam.BeamCurrent, besselFactor) * relBandWidth;
    F = F / (2.0 * N * i * beam.EnergySpread + 1.0);
    photonBeamSizeUnchecked(m, i, fundWaveLen, beamSizes(beam));
    switch (quantity) {
        case kLineAngularFlux:
            F = beam.BeamGamma * beam.BeamGamma * (F / Pi) * N * i / (1.0 + K * K / 2.0);
            break;
        case kLineFlux:
            break;
        case kLineFluxDensity:
            F = F / m.SrcArea;
            break;
        case kLineBrightness:
            F = F / m.SrcArea / m.SrcSolidAng;
            break;
        default:
            break;
    }
    return F;
}

bool LineListCalculate(const LineListInputs& in, const CurrentBeam& beam, MagnetState& m, UndulatorState& und,
                       double& RelBandWidth, LineListState& list, Messages& messages, LineListResult& r) {
    r.completed = 0;
    r.header.clear();
    r.rows.clear();
    r.refusedHarmonic = 0;
    requireUndulator(und);
    const double lambda1 = und.FundWaveLen;
    const double K = m.KValue;

    // 1. Magnet.
    r.header.push_back(field("periods", "number of periods", m.NPeriods, "", std::to_string(m.NPeriods), ""));
    r.header.push_back(
        field("LenPer", "period length", m.PerLength, "m", FormatFixed3(metersToMm(m.PerLength)), "mm"));
    r.header.push_back(
        field("stUndlen", "undulator length", m.DevLength, "m", FormatFixed3(m.DevLength), "m"));
    r.header.push_back(field("KPar", "K", K, "", FormatFixed3(K), ""));
    r.completed = 1;

    // 2. Band width.
    const double bw = checkedValue(percentToFraction(parseReal(in.BW, "BW")));
    if (!(bw > 0)) throw InputError(kPositiveBandWidthText, "BW");
    requireBandWidthLimit(bw, "BW");
    RelBandWidth = bw;

    // 3. Fundamental.
    r.header.push_back(field("lam0", "fundamental wavelength :", lambda1, "m",
                             FormatGeneral4(metersToAngstrom(lambda1)), "Å"));
    r.header.push_back(
        field("ephi0", "or fundamental energy:", und.FundPhotEn, "eV", FormatGeneral4(und.FundPhotEn), "eV"));

    // 4. The range, refused before anything of the list changes.
    const int iFrom = parseInteger(in.fharm);
    const int iTo = parseInteger(in.toharm);
    if (iFrom < 1 || iFrom >= kHarmonicTableSize || iFrom % 2 == 0) {
        r.refusedHarmonic = 1;
        messages.info(kFirstHarmonicText);
        return false;
    }
    if (iTo < 1) {
        r.refusedHarmonic = 2;
        messages.info(kLastHarmonicText);
        return false;
    }
    const double parity = (iTo + 1) / 2.0 - std::floor((iTo + 1) / 2.0);
    if (iTo >= kHarmonicTableSize || parity != 0) {
        r.refusedHarmonic = 2;
        messages.info(kOddHarmonicText);
        return false;
    }

    // 5. Wavelengths of the first and last harmonic.
    r.header.push_back(field("lami", "wavelength of the first harmonic", lambda1 / iFrom, "m",
                             FormatGeneral4(metersToAngstrom(lambda1 / iFrom)), "Å"));
    r.header.push_back(field("lamf", "wavelength of the last harmonic", lambda1 / iTo, "m",
                             FormatGeneral4(metersToAngstrom(lambda1 / iTo)), "Å"));

    // 6, 7. Fundamental photon energy and the energies of the first and last harmonic.
    und.FundPhotEn = checkedValue(kUndHC / metersToAngstrom(lambda1));
    const double e1 = und.FundPhotEn;
    r.header.push_back(field("ephii", "photon energy of the first harmonic", iFrom * e1, "eV",
                             FormatGeneral4(iFrom * e1) + " eV", ""));
    r.header.push_back(field("ephif", "photon energy of the last harmonic", iTo * e1, "eV",
                             FormatGeneral4(iTo * e1) + " eV", ""));

    // 8. Source sizes of the fundamental.
    PhotonBeamSize(m, 1, lambda1, beamSizes(beam));

    // 9, 10. The list; the state changes only when every harmonic is computed.
    LineListState next = list;
    next.accepted = true;
    next.iFrom = iFrom;
    next.iTo = iTo;
    next.parity = parity;
    const double sigE = beam.EnergySpread;
    const int N = m.NPeriods;
    for (int i : next.harmonics()) {
        next.lambda[i] = lambda1 / i;
        next.eps[i] = i * e1;
        next.w[i] = checkedValue(
            std::sqrt((2 * sigE) * (2 * sigE) * TwoPi + (1.0 / (double(i) * N)) * (1.0 / (double(i) * N))));
        next.F[i] = RadFlux(i, in.quantity, K, lambda1, beam, m, RelBandWidth);
        r.rows.push_back({std::to_string(i), FormatFixed3(next.eps[i]),
                          FormatFixed3(metersToAngstrom(next.lambda[i])),
                          FormatFixed3(fractionToPercent(next.w[i])), FormatGeneral4(next.F[i])});
    }
    list = next;
    r.completed = 2;
    return true;
}

// --- Tuning scans

bool enoughFreeCurves(int maxCurves, int curveCount, int harmonics, bool replace) {
    if (replace) return harmonics <= maxCurves;
    return maxCurves - curveCount >= harmonics;
}

TuningScanSetup TuningScanCheck(const TuningScanInputs& in, const LineListState& list, const MagnetState& m) {
    TuningScanSetup s;
    const bool gap = in.kind == ScanKind::Gap;
    const char* minField = gap ? "edGapmin" : "edKmin";
    const char* maxField = gap ? "edGapmax" : "edKmax";
    s.xmin = parseReal(gap ? in.edGapmin : in.edKmin, minField);
    s.xmax = parseReal(gap ? in.edGapmax : in.edKmax, maxField);
    if (!list.accepted) throw InputError(kNoListYetText);
    if (m.MagType != "PM") throw InputError(kScanNeedsPMText);
    if (s.xmin < 0) throw InputError(gap ? kNegativeGapText : kNegativeKText, minField);
    if (s.xmax < 0) throw InputError(gap ? kNegativeGapText : kNegativeKText, maxField);
    // A gap of 0 is a closed magnet; the ends are held to what a device can have.
    if (gap && s.xmin == 0) throw InputError(kZeroGapText, minField);
    const double top = gap ? kMaxGapMm : kMaxDeflection;
    if (s.xmin > top) throw InputError(gap ? kGapTooLargeText : kKTooLargeText, minField);
    if (s.xmax > top) throw InputError(gap ? kGapTooLargeText : kKTooLargeText, maxField);
    if (s.xmin == s.xmax) throw InputError(gap ? kFlatGapRangeText : kFlatKRangeText, maxField);
    s.harmonics = list.harmonics();
    return s;
}

namespace {
double scanK(const TuningScanContext& c, double x, MagnetState& m, Messages& messages) {
    return c.kind == ScanKind::Gap ? checkedScanValue(kUndKPerTeslaM * m.PerLength *
                                                      gapFieldUnchecked(m, mmToMeters(x), messages))
                                   : x;
}

// The point at x whose K and Bessel factor are known.
TuningPoint scanPoint(const TuningScanContext& c, int i, double x, double K, double besselFactor,
                      MagnetState& m, Messages& messages) {
    TuningPoint p;
    p.K = K;
    const double lambda1 = (1.0 + p.K * p.K / 2.0) * c.t;
    p.photonEnergy = checkedScanValue(kUndHC / metersToAngstrom(lambda1 / i));
    p.y = checkedScanValue(
        radFluxUnchecked(i, c.quantity, p.K, lambda1, *c.beam, m, c.relBandWidth, besselFactor));
    switch (c.abscissa) {
        case ScanAbscissa::K:
            p.X = p.K;
            break;
        case ScanAbscissa::PhotonEnergy:
            p.X = p.photonEnergy;
            break;
        case ScanAbscissa::Gap:
            p.X = c.kind == ScanKind::K ? checkedValue(metersToMm(GapFromK(m, p.K, messages))) : x;
            break;
    }
    return p;
}
}  // namespace

TuningPoint tuningScanPoint(const TuningScanContext& c, int i, double x, MagnetState& m, Messages& messages) {
    const double K = scanK(c, x, m, messages);
    return scanPoint(c, i, x, K, harmonicBesselFactor(i, K), m, messages);
}

TuningScanResult TuningScanCalculate(const TuningScanInputs& in, const LineListState& list,
                                     const CurrentBeam& beam, const MagnetState& magnet, double RelBandWidth,
                                     Messages& messages) {
    const TuningScanSetup s = TuningScanCheck(in, list, magnet);
    if (!(magnet.PerLength > 0)) throw InputError(kZeroPeriodText);
    if (!(beam.BeamGamma > 0)) throw InputError(kZeroBeamEnergyText);
    OnceMessages once(messages);
    MagnetState m = magnet;  // the scan's working copy
    TuningScanContext c;
    c.kind = in.kind;
    c.abscissa = in.abscissa;
    c.quantity = in.quantity;
    c.t = m.PerLength / (2.0 * beam.BeamGamma * beam.BeamGamma);
    c.relBandWidth = RelBandWidth;
    c.beam = &beam;
    const bool gap = in.kind == ScanKind::Gap;
    const double dx = (s.xmax - s.xmin) / 100.0;

    TuningScanResult r;
    r.xmin = s.xmin;
    r.xmax = s.xmax;
    // K at both ends of the range: the smallest gap (largest K) first.
    double Ka = s.xmax, Kb = s.xmin;
    if (gap) {
        Ka = checkedValue(kUndKPerTeslaM * m.PerLength * GapField(m, mmToMeters(s.xmin), once));
        Kb = checkedValue(kUndKPerTeslaM * m.PerLength * GapField(m, mmToMeters(s.xmax), once));
        // a hybrid magnet's field is held constant outside 0.07 to 0.7 periods: no scan there
        if (Ka == Kb) throw InputError(kFlatGapRangeText, "edGapmax");
    }
    // The information lines of every curve; only the harmonic differs from curve to curve.
    std::vector<std::pair<int, std::string>> info =
        beamInfoLines(beam.BeamName, beam.BeamEnergy, beam.BeamCurrent, beam.EmitX);
    info.emplace_back(5, "------------------------------------");
    info.emplace_back(6, "source magnet     " + m.SrcName);
    info.emplace_back(7, gap ? "gap variation     " + f6(s.xmin) + " - " + f6(s.xmax) + " mm"
                             : "field strength    " + f6(magnet.BField) + " T");
    info.emplace_back(8, "number of periods " + FormatInt5(m.NPeriods));
    info.emplace_back(9, "period length     " + f6(metersToMm(m.PerLength)) + " mm");
    info.emplace_back(10, "band width       " + f6(fractionToPercent(RelBandWidth)) + " %");
    info.emplace_back(11, std::string());
    info.emplace_back(12, "variation of K    " + f6(Ka) + " to " + f6(Kb));
    // K of each point, the same for every harmonic
    double K[kScanPoints];
    for (int j = 0; j < kScanPoints; ++j) K[j] = scanK(c, s.xmin + j * dx, m, once);
    for (int i : s.harmonics) {
        TuningCurve curve;
        curve.harmonic = i;
        curve.info = info;
        curve.info[10].second = "harmonic number  " + FormatInt5(i);
        curve.x.reserve(kScanPoints);
        curve.y.reserve(kScanPoints);
        // The Bessel factors of all points at once (the costly part, several points side by
        // side), then the rest of each point.
        double factor[kScanPoints];
        harmonicBesselFactors(i, K, factor, kScanPoints);
        for (int j = 0; j < kScanPoints; ++j) {
            const TuningPoint p = scanPoint(c, i, s.xmin + j * dx, K[j], factor[j], m, once);
            curve.x.push_back(p.X);
            curve.y.push_back(p.y);
        }
        r.curves.push_back(std::move(curve));
    }
    // The points tested their values; the flags of the whole scan are tested here, once.
    checkFloatFaults();
    switch (in.abscissa) {
        case ScanAbscissa::PhotonEnergy:
            r.xCaption = "photon energy, eV";
            break;
        case ScanAbscissa::K:
            r.xCaption = "K-parameter";
            break;
        case ScanAbscissa::Gap:
            r.xCaption = "undulator gap, mm";
            break;
    }
    r.yCaption = lineQuantityCaption(in.quantity);
    return r;
}

std::string tuningFileLine(double X, double y) { return dataFileLine({X, y}); }

bool OnceMessages::first(const std::string& text) {
    if (std::find(shown_.begin(), shown_.end(), text) != shown_.end()) return false;
    shown_.push_back(text);
    return true;
}

void OnceMessages::error(const std::string& text) {
    if (first(text)) target_.error(text);
}

void OnceMessages::info(const std::string& text) {
    if (first(text)) target_.info(text);
}

}  // namespace lumerad
