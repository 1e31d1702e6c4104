#pragma once
// The derived quantities of a beam record: beam sizes and divergences, Lorentz factor and
// coupling of a circulating beam; currents and bunch length of a single-pass beam. Each
// calculation also fills the current-beam state that the calculators read, when given one.
#include <string>

#include "core/state/beam_state.h"

namespace lumerad {

// The stored fields of a circulating-beam record (SR_ring); empty numbers read as 0.
struct CircBeamValues {
    std::string SR;
    double Energy = 0;            // GeV
    double Cur = 0;               // mA
    double Eps_x = 0, Eps_y = 0;  // nm rad
    double DE_E = 0;              // DE/E, %
    double Beta_x = 0, Alpha_x = 0, Beta_y = 0, Alpha_y = 0;
    double Eta_x = 0, Etap_x = 0, Eta_y = 0, Etap_y = 0;
};

struct CircBeamDerived {
    // The record's own fields after default substitution (zero beta: 10 m, zero emittance: 999).
    double Beta_x = 0, Beta_y = 0, Eps_x = 0, Eps_y = 0;
    bool betaXDefaulted = false, betaYDefaulted = false, epsXDefaulted = false, epsYDefaulted = false;
    // The calculated fields.
    double Gamma = 0;
    double Coupl = 0;               // %
    double Sig_xb = 0, Sig_yb = 0;  // um
    double Sig_xp = 0, Sig_yp = 0;  // urad
};

// A negative emittance or beta function throws InputError naming the field and the record;
// the shared state is then left as it was.
CircBeamDerived CircBeamCalcFields(const CircBeamValues& rec, CurrentBeam* shared);

// The stored fields of a single-pass record (Sngl_pass); empty numbers read as 0.
struct SnglBeamValues {
    std::string Name;
    double Energy = 0;           // MeV
    double PartPerBunch = 0;     // Part/Bunch, 1e8 electrons
    double PulseDuration = 0;    // ns
    double PulseRepRate = 0;     // Hz
    double BunchesPerPulse = 0;  // Bunches/Pulse
    double BunchDuration = 0;    // fs
};

struct SnglBeamDerived {
    double gamma = 0;         // rounded to 5 decimals
    double PeakCurrent = 0;   // A, 3 decimals
    double PulseCurrent = 0;  // mA, 3 decimals
    double AvgCurrent = 0;    // nA, 3 decimals
    double BunchLength = 0;   // mm, 3 decimals
};

SnglBeamDerived SnglBeamCalcFields(const SnglBeamValues& rec, CurrentBeam* shared);

}  // namespace lumerad
