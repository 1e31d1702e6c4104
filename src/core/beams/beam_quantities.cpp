#include "core/beams/beam_quantities.h"

#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/errors.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {

void refuseNegative(double v, const char* what, const std::string& name) {
    if (v < 0)
        throw InputError("The " + std::string(what) + " of beam configuration '" + name + "' is negative (" +
                         general(v, 6) + "); beam sizes and divergences need positive values.");
}

double finite(double v) {
    if (!std::isfinite(v)) throw FloatError(std::isnan(v) ? kInvalidOpText : kOverflowText);
    return v;
}

// The value written as text with the fixed-width routine and read back: only the rounding
// to 5 (or 3) decimals reaches the field.
double roundedVia(std::string (*format)(double), double v) {
    std::string s = format(finite(v));
    size_t b = s.find_first_not_of(' ');
    return parseReal(b == std::string::npos ? s : s.substr(b));
}

}  // namespace

CircBeamDerived CircBeamCalcFields(const CircBeamValues& rec, CurrentBeam* shared) {
    refuseNegative(rec.Eps_x, "horizontal emittance Eps_x", rec.SR);
    refuseNegative(rec.Eps_y, "vertical emittance Eps_y", rec.SR);
    refuseNegative(rec.Beta_x, "horizontal beta function Beta_x", rec.SR);
    refuseNegative(rec.Beta_y, "vertical beta function Beta_y", rec.SR);

    CurrentBeam b = shared ? *shared : CurrentBeam{};
    CircBeamDerived d;
    b.kind = BeamKind::Circulating;
    b.BeamName = rec.SR;
    b.BeamEnergy = rec.Energy;
    b.BeamGamma = b.BeamEnergy / eVToGeV(MeC2);
    d.Gamma = b.BeamGamma;
    b.BeamCurrent = mAToAmperes(rec.Cur);

    // A beta function of 0 (not given) is taken as 10 m, and the editor says so.
    const auto beta = [](double given, double& state, double& shown, bool& defaulted) {
        defaulted = given == 0;
        state = shown = defaulted ? 10 : given;
    };
    beta(rec.Beta_x, b.BetaX, d.Beta_x, d.betaXDefaulted);
    beta(rec.Beta_y, b.BetaY, d.Beta_y, d.betaYDefaulted);
    b.AlphaX = rec.Alpha_x;
    b.AlphaY = rec.Alpha_y;
    b.EtaX = rec.Eta_x;
    b.EtaY = rec.Eta_y;
    b.EtapX = rec.Etap_x;
    b.EtapY = rec.Etap_y;

    // An emittance of 0 (not given) is taken as 999 nm, and the editor says so.
    const auto emittance = [](double givenNm, double& state, double& shown, bool& defaulted) {
        state = nmToMeters(givenNm);
        shown = givenNm;
        defaulted = state == 0;
        if (defaulted) {
            state = 9.99e-7;
            shown = metersToNm(state);
        }
    };
    emittance(rec.Eps_x, b.EmitX, d.Eps_x, d.epsXDefaulted);
    b.EnergySpread = percentToFraction(rec.DE_E);
    emittance(rec.Eps_y, b.EmitY, d.Eps_y, d.epsYDefaulted);
    d.Coupl = fractionToPercent(b.EmitY / b.EmitX);

    auto sq = [](double x) { return x * x; };
    b.SigXb = std::sqrt(sq(b.EtaX * b.EnergySpread) + b.EmitX * b.BetaX);
    b.SigXp = std::sqrt(sq(b.EtapX * b.EnergySpread) + b.EmitX * (1 + sq(b.AlphaX)) / b.BetaX);
    b.SigYb = std::sqrt(sq(b.EtaY * b.EnergySpread) + b.EmitY * b.BetaY);
    b.SigYp = std::sqrt(sq(b.EtapY * b.EnergySpread) + b.EmitY * (1 + sq(b.AlphaY)) / b.BetaY);

    d.Sig_xb = finite(metersToMicrons(b.SigXb));
    d.Sig_yb = finite(metersToMicrons(b.SigYb));
    d.Sig_xp = finite(radToMicrorad(b.SigXp));
    d.Sig_yp = finite(radToMicrorad(b.SigYp));
    finite(d.Gamma);
    finite(d.Coupl);
    if (shared) *shared = b;
    return d;
}

SnglBeamDerived SnglBeamCalcFields(const SnglBeamValues& rec, CurrentBeam* shared) {
    CurrentBeam b = shared ? *shared : CurrentBeam{};
    SnglBeamDerived d;
    b.kind = BeamKind::SinglePass;
    b.BeamEnergy = MeVToeV(rec.Energy);
    b.BeamGamma = b.BeamEnergy / MeC2;
    d.gamma = roundedVia(FormatFixed5, b.BeamGamma);

    b.NPart = particlesOf1e8(rec.PartPerBunch);
    b.PulseDur = nsToSeconds(rec.PulseDuration);
    b.RepRate = rec.PulseRepRate;
    b.BunchesPerPulse = rec.BunchesPerPulse;
    b.BunchDur = fsToSeconds(rec.BunchDuration);

    b.PeakCur = b.BunchDur == 0 ? 0.0 : ElCharge * b.NPart / b.BunchDur;
    d.PeakCurrent = roundedVia(FormatFixed3, b.PeakCur);
    b.PulseCur = b.PulseDur == 0 ? 0.0 : ElCharge * b.NPart * b.BunchesPerPulse / b.PulseDur;
    d.PulseCurrent = roundedVia(FormatFixed3, amperesTomA(b.PulseCur));
    b.AvgCur = b.PulseCur * b.RepRate * b.PulseDur;
    d.AvgCurrent = roundedVia(FormatFixed3, amperesTonA(b.AvgCur));
    b.BunchLength = b.BunchDur * CLight;
    d.BunchLength = roundedVia(FormatFixed3, metersToMm(b.BunchLength));
    if (shared) *shared = b;
    return d;
}

}  // namespace lumerad
