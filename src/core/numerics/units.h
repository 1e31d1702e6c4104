#pragma once
// Unit conversions by name. Each is exactly the one floating-point operation the calculation
// was written with: multiplying by 1e-3 and dividing by 1000 differ in the last bit, so a
// conversion that divides is written as a division here too, and a product keeps its order
// where it is used (a * b * 1e-3 stays (a * b) * 1e-3).
namespace lumerad {

// Lengths.
inline constexpr double mmToMeters(double mm) { return mm / 1000.0; }
inline constexpr double metersToMm(double m) { return m * 1000.0; }
inline constexpr double cmToMeters(double cm) { return cm / 100.0; }
inline constexpr double micronsToMeters(double um) { return um * 1e-6; }
inline constexpr double metersToMicrons(double m) { return m * 1e6; }
inline constexpr double nmToMeters(double nm) { return nm * 1e-9; }  // also nm rad to m rad
inline constexpr double metersToNm(double m) { return m * 1e9; }
inline constexpr double angstromToMeters(double a) { return a * 1e-10; }
inline constexpr double metersToAngstrom(double m) { return m * 1e10; }

// Angles.
inline constexpr double mradToRad(double mrad) { return mrad / 1000.0; }
inline constexpr double radToMrad(double rad) { return rad * 1000.0; }
inline constexpr double radToMicrorad(double rad) { return rad * 1e6; }

// Energies and frequencies.
inline constexpr double GeVToeV(double GeV) { return GeV * 1e9; }
inline constexpr double MeVToeV(double MeV) { return MeV * 1e6; }
inline constexpr double eVToGeV(double eV) { return eV * 1e-9; }
inline constexpr double THzToHz(double THz) { return THz * 1e12; }
inline constexpr double HzToTHz(double Hz) { return Hz / 1e12; }

// Currents, times and particle counts.
inline constexpr double mAToAmperes(double mA) { return mA / 1000.0; }
inline constexpr double amperesTomA(double A) { return A * 1000.0; }
inline constexpr double amperesTonA(double A) { return A * 1e9; }
inline constexpr double nsToSeconds(double ns) { return ns * 1e-9; }
inline constexpr double fsToSeconds(double fs) { return fs * 1e-15; }
inline constexpr double particlesOf1e8(double n) { return n * 1e8; }  // a count given in units of 1e8

// Shares.
inline constexpr double percentToFraction(double percent) { return percent / 100.0; }
inline constexpr double fractionToPercent(double fraction) { return fraction * 100.0; }

}  // namespace lumerad
