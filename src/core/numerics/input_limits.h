#pragma once
// The physical ranges of typed inputs, checked before a calculation uses them, so that a value
// no device or beam can have is refused naming its field instead of ending in a floating-point
// fault or a silent nonsense result. The window and the command line call the same core
// routine and so refuse alike. The record limits of the catalogue use the same numbers.
#include <string>

#include "core/numerics/errors.h"

namespace lumerad {

// Harmonic numbers. Far beyond any harmonic an undulator radiates with a real beam's energy
// spread, and small enough that harmonic x poles (at most 100000 poles) stays an int.
inline constexpr int kMaxHarmonic = 10000;
// Full gap of a permanent-magnet device, mm. No insertion device opens beyond a metre, and the
// field model has fallen to nothing far before (0 T beyond five periods).
inline constexpr double kMaxGapMm = 1000;
// Deflection parameter. Wigglers reach a few hundred; beyond 1000 the harmonics of a line
// spectrum lie far below any photon energy of interest and K^2 products still stay finite.
inline constexpr double kMaxDeflection = 1000;
// Magnet field, T: no magnet reaches it (the strongest steady fields are some 45 T).
inline constexpr double kMaxField = 100;
// Relative band width, percent: a band as wide as the photon energy itself.
inline constexpr double kMaxBandWidthPercent = 100;
// Beam energy, MeV: 10 TeV, above every electron machine built or planned.
inline constexpr double kMaxBeamEnergyMeV = 1e7;
// Wavelength of a transition-radiation photon, m: from 1e-15 m (1.2 GeV, far above the
// highest photon energy a foil radiates, gamma times its plasma energy) to 1000 m (300 kHz,
// far below the coherent spectrum of any bunch).
inline constexpr double kMinPhotonWaveLength = 1e-15;
inline constexpr double kMaxPhotonWaveLength = 1000;

inline constexpr const char* kNegativeDistanceText = "the distance must not be negative!";
inline constexpr const char* kHarmonicTooLargeText = "the harmonic number must be at most 10000!";
inline constexpr const char* kBandWidthTooLargeText = "the band width must be at most 100 %!";
inline constexpr const char* kNegativeBandWidthText = "the band width must not be negative!";

// Refuses (InputError naming field) a relative band width above 100 %; returns it.
inline double requireBandWidthLimit(double fraction, const std::string& field) {
    if (fraction > kMaxBandWidthPercent / 100) throw InputError(kBandWidthTooLargeText, field);
    return fraction;
}
// The same, and a negative band width too.
inline double requireBandWidth(double fraction, const std::string& field) {
    if (fraction < 0) throw InputError(kNegativeBandWidthText, field);
    return requireBandWidthLimit(fraction, field);
}

// Refuses (InputError naming field) a value outside [lo, hi]; with loOpen, lo itself too.
// A value that is not a number (NaN) is refused as well.
inline double requireRange(double v, double lo, double hi, bool loOpen, const std::string& text,
                           const std::string& field) {
    const bool above = loOpen ? v > lo : v >= lo;
    if (!above || !(v <= hi)) throw InputError(text, field);
    return v;
}

}  // namespace lumerad
