#pragma once
// Forward radiation of a planar undulator on the current circulating beam: deflection
// parameter, harmonic wavelengths and photon energies, power and power densities, source
// sizes and the central-cone angle; and the radiation of one harmonic shared by the flux
// window, the line spectrum and the tuning scans: the Bessel factor, on-axis flux, flux in
// the central cone, flux density, brightness and the spatially coherent fraction.
//
// The recalculation runs in numbered steps; each step stores its results and then marks
// itself completed, so that a step that stops on a text that is not a number or on a
// floating-point fault leaves what came before on screen.
#include <string>

#include "core/numerics/result_field.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

class Messages;

inline constexpr const char* kNotUndulatorText = "Source is not a wiggler/undulator magnet!";
inline constexpr const char* kZeroPeriodText =
    "the period length of the source is 0 mm: enter the undulator's period length!";
inline constexpr const char* kZeroBeamEnergyText =
    "the beam energy is 0 GeV: choose and accept a circulating beam with its energy!";
inline constexpr const char* kHarmonicBelowOneText = "the harmonic number must be 1 or more!";

// Wavelength (Angstrom) times photon energy (eV) as the undulator calculations use it.
inline constexpr double kUndHC = 12394.0;
// K per tesla and metre of period.
inline constexpr double kUndKPerTeslaM = 93.44;

// The texts of the window's inputs.
struct UndulatorInputs {
    std::string harm = "1";      // harmonic number
    std::string edDist = "1.0";  // m
};

struct UndulatorResult {
    int completed = 0;          // last step run to its end (0: none)
    bool notUndulator = false;  // refused at step 2 with its message
    bool permanentMagnet = false;
    double BField = 0;  // T
    double K = 0;
    double devLength = 0;  // m
    std::string permMag;
    double lambda1 = 0;  // m
    double eps1 = 0;     // eV
    int harmonic = 1;
    double photonEnergy = 0;  // eV, harmonic i
    double wavelength = 0;    // m, harmonic i
    double power = 0;         // W
    double sigR = 0, sigRp = 0, sigTx = 0, sigTy = 0, sigTxp = 0, sigTyp = 0;
    double coneAngle = 0;      // rad
    double powDensSource = 0;  // W/mm^2
    double powDensZ = 0;       // W/mm^2
    double amplitude = 0;      // m
    double deflection = 0;     // rad
};

// Steps 2 to 16 of the recalculation (step 1, ReadSourcePar, is the caller's). Writes
// KValue, SigR .. SigTyp of the magnet state and the undulator state; an electromagnet's
// field is used with every digit of the record. A source of fewer than four poles or a
// magnet type other than EM or PM is reported through messages (r tells which); a zero
// period length, a zero beam energy, a harmonic below 1 or above kMaxHarmonic and a negative
// distance throw InputError before they are used; a text that is not a number throws InputError, a
// floating-point fault FloatError.
void UndulatorRecalculate(const UndulatorInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                          UndulatorState& und, Messages& messages, UndulatorResult& r);

// The results of every completed step as the window shows them, by objectName of the field.
// The unit labels with a prefix are the shownUnit of their field: ephi (leV2), PowTot (lW),
// edPowmm (lwmm), edPwmmz (lwmmz). Wfield and fldmax carry the field as the window writes it.
ResultFields UndulatorTexts(const UndulatorResult& r);

// --- One harmonic of the undulator

// Fundamental wavelength (m) of period lambdaU (m) at K for Lorentz factor gamma.
double undulatorWaveLength(double lambdaU, double gamma, double K);

// The Bessel factor [J_(n-1)/2(xi) - J_(n+1)/2(xi)]^2, xi = n K^2 / (4 + 2 K^2), of an odd
// harmonic on the axis; even harmonics (and n < 1) radiate nothing on the axis: 0.
double harmonicBesselFactor(int n, double K);
// The factor at count values of K (the same bits, several at a time).
void harmonicBesselFactors(int n, const double* K, double* out, long count);

// Photons per second and steradian on the axis, per unit relative band width, of harmonic n
// for N periods, Lorentz factor gamma and current I (A).
double onAxisFluxPerBW(int n, double K, int N, double gamma, double I);

// Photons per second in the central cone of harmonic n per unit relative band width.
double centralConeFluxPerBW(int n, double K, int N, double I);
// The same with the harmonic's Bessel factor at K given.
double centralConeFluxPerBW(int n, double K, int N, double I, double besselFactor);

}  // namespace lumerad
