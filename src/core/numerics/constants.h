#pragma once
// The one program-wide set of physical and mathematical constants. Several calculators
// use shorter literals of their own (665 for the critical energy, 0.29979 for the bending
// radius, ...); those stay where they are used.
namespace lumerad {

inline constexpr double MeC2 = 511003.0;          // eV, electron rest energy
inline constexpr double CLight = 299792458.0;     // m/s
inline constexpr double ElCharge = 1.602189e-19;  // C
inline constexpr double HPlanck = 6.626176e-34;   // J s
inline constexpr double HBar = 1.054588e-34;      // J s
inline constexpr double FineStruct = 0.0072973504;
inline constexpr double ElRadius = 2.817938e-15;  // m, classical electron radius
inline constexpr double KBoltz = 1.380662e-23;    // J/K
inline constexpr double Gamma13 = 2.6789385;      // Gamma(1/3)
inline constexpr double Gamma23 = 1.3541179;      // Gamma(2/3)
inline constexpr double Pi = 3.14159265358979323846;
inline constexpr double TwoPi = 2.0 * Pi;
inline constexpr double SqrtTwoPi = 2.50662827463;
inline constexpr double CPsi = 3.96136761e19;   // angular photon flux per rad, per GeV and A
inline constexpr double COmega = 1.3254562e22;  // angular flux density per rad^2, per GeV^2 and A
inline constexpr double HC = 1.239854e-06;      // eV m

}  // namespace lumerad
