#pragma once
// Independent references of the undulator tests: the Bessel factor and Fn, Qn from the
// standard library's Bessel functions, and the 3 GeV, 100 mA ring with a 50-period, 50 mm
// hybrid undulator at K = 1 of the worked examples.
#include <cmath>

#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"
#include "sr_reference.h"

namespace lumerad::undtest {

using testref::kAlpha;
using testref::kE;
using testref::kPi;

// [J_(n-1)/2(xi) - J_(n+1)/2(xi)]^2 with xi = nK^2/(4 + 2K^2).
inline double refBesselFactor(int n, double K) {
    const double xi = n * K * K / (4.0 + 2.0 * K * K);
    const double d = std::cyl_bessel_j((n - 1) / 2, xi) - std::cyl_bessel_j((n + 1) / 2, xi);
    return d * d;
}
inline double refFn(int n, double K) {
    const double q = 1.0 + K * K / 2.0;
    return n * n * K * K / (q * q) * refBesselFactor(n, K);
}
inline double refQn(int n, double K) { return (1.0 + K * K / 2.0) * refFn(n, K) / n; }

// The ring and undulator; the beam sizes are the caller's.
inline void workedExampleRing(CurrentBeam& beam, MagnetState& magnet) {
    beam.BeamEnergy = 3.0;
    beam.BeamGamma = 3.0e9 / 511003.0;
    beam.BeamCurrent = 0.1;
    magnet.MagType = "PM";
    magnet.PermMag = "hybrid";
    magnet.PerLength = 0.05;
    magnet.NPoles = 100;
    magnet.NPeriods = 50;
    magnet.DevLength = 2.5;
    magnet.BField = 1.0 / (93.44 * 0.05);  // K = 1
}

}  // namespace lumerad::undtest
