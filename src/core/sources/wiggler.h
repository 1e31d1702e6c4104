#pragma once
// Characteristic radiation of a wiggler for the current circulating beam. The wiggler is a
// chain of bending-magnet poles; seen from a horizontal observation angle psi_x the
// radiation comes from the orbit point whose tangent points at psi_x, where the sinusoidal
// field is B sqrt(1 - (psi_x gamma / K)^2). What is seen at that angle (critical energy,
// flux, opening angle, brightness) belongs to this local field; what belongs to the whole
// device (total power and its spread over the fan) to the peak field.
//
// The recalculation runs in numbered steps and records the last one completed, so that a
// refusal or a fault part way leaves the results of the steps before it and nothing else.
#include <string>

#include "core/numerics/input_limits.h"
#include "core/numerics/result_field.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

class Messages;
class Tabulated;

inline constexpr const char* kFinitePeriodText = "select finite Period Length or use bending magnet!";
inline constexpr const char* kZeroFluxText = "zero flux; choose different field or obs.angle!";
inline constexpr const char* kNoDeflectionText =
    "the K-value is 0 or below: choose a source with a positive field and period length!";
inline constexpr const char* kWigglerWaveLengthText = "the wavelength must be greater than 0 Angstrom!";
inline constexpr const char* kWigglerBandWidthText = "the band width must be greater than 0 %!";
inline constexpr const char* kWigglerDistanceText = kNegativeDistanceText;
inline constexpr const char* kWigglerNoPolesText =
    "the wiggler has no poles: choose a source with at least one pole!";

// The texts of the window's inputs.
struct WigglerInputs {
    std::string HorAngle = "0.00";   // mrad
    std::string WaveLength = "1.0";  // Angstrom
    std::string edBandW = "0.1";     // percent
    std::string edDist = "1.0";      // m
    std::string Wfield = "1.0";      // T, the peak-field box before a record fills it
};

// Steps of the recalculation, in order; WigglerResult::completed holds the last one done.
enum WigglerStep {
    kWigNone = 0,
    kWigDeflection = 4,  // field, K, device length
    kWigOrbit = 8,       // path displacement and deflection angle
    kWigCritical = 13,   // observation angle, local field, critical energy and wavelength
    kWigPhoton = 16,     // photon energy, xi, local K, band width
    kWigPower = 21,      // total power and power densities
    kWigFlux = 25,       // flux density, opening angle, angular flux, brightness
};

struct WigglerResult {
    int completed = kWigNone;
    bool permanentMagnet = false;
    std::string permMag;
    double field = 0;             // T, peak field used
    double peakK = 0;             // K of the peak field
    double devLength = 0;         // m
    double pathDisplacement = 0;  // m
    double deflection = 0;        // rad
    double psiX = 0;              // mrad, the observation angle of the last completed calculation
    double localField = 0;        // T
    double critEnergy = 0;        // eV
    double critWaveLength = 0;    // m
    double photonEnergy = 0;      // eV
    double xi = 0;                // photon energy over critical energy
    double localK = 0;
    double relBandWidth = 0;
    double power = 0;          // W
    double powDensSource = 0;  // W/mm^2
    double powDensZ = 0;       // W/mm^2
    double k23 = 0;            // K2/3(xi/2)
    double fluxDensity = 0;    // ph/s/rad^2
    double S = 0;              // universal function at xi
    double sigPsi = 0;         // rad
    double angularFlux = 0;    // ph/s/rad
    double brightness = 0;     // ph/s/mrad^2/mm^2
};

// The recalculation after the caller's ReadSourcePar, with the record's field as read. Writes
// KValue (first the peak, at the end the local
// K the spectrum window takes over), PerLength (0.01 m for a period of 0), the photon source
// sizes, CritEnergy and RelBandWidth. Messages that go on with a substitute go to messages;
// a refused calculation throws InputError, a floating-point fault FloatError, both with r
// holding the steps completed before.
void RecalculateWiggler(const WigglerInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                        const Tabulated& tab, Messages& messages, double& CritEnergy, double& RelBandWidth,
                        WigglerResult& r);

// The displayed results of the completed steps, by the window's objectNames: "Kpar", "MagTyp",
// "Wfield" or "fldmax", "edWLen", "Edtxmax", "Edtmxdefl", "Ephcrit", "Lamcrit", "EdtPhEnergy",
// "Edtxi", "PowTot", "edPowmm", "edPwmmz", "AngPhDen", "sigpsi", "AngFlux", "EdtBright". The
// shownUnit of a prefixed value is the text of its unit label.
ResultFields WigglerResults(const WigglerResult& r);

// The objectName of the unit label that shows a result's prefixed unit, or "" for none.
std::string wigglerUnitLabel(const std::string& resultName);

}  // namespace lumerad
