#pragma once
// Characteristic radiation of a bending magnet for the current circulating beam: bending
// radius, rigidity, critical energy and wavelength, power and power densities, and for one
// photon wavelength the angular photon flux, the vertical opening angle and the angular
// flux densities in both polarisations.
//
// The recalculation runs in numbered steps. Each step stores its results in the result
// and then marks itself completed, so that when a later step stops on a field that is not
// a number or on a floating-point fault, the window can still show what came before.
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/result_field.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

class Tabulated;

// The texts of the window's five input fields.
struct BendingMagnetInputs {
    std::string WaveLength = "1.0";  // Angstrom
    std::string edBandW = "0.1";     // percent
    std::string VerObsAng = "0.0";   // units of 1/gamma
    std::string edDist = "1.0";      // m
    std::string edIncAng = "90.0";   // degrees
};

// Everything one recalculation computes. The window keeps one of these between
// recalculations: a step that is not reached leaves its values as they were.
struct BendingMagnetResult {
    int completed = 0;          // the last step that ran to its end (0: none)
    double psi = 0;             // vertical observation angle, rad
    double rho = 0;             // bending radius, m
    double rigidity = 0;        // T m
    double critEnergy = 0;      // eV
    double critWaveLength = 0;  // Angstrom; valid when critEnergy > 0
    double photonEnergy = 0;    // eV
    double xi = 0;              // photon energy / critical energy
    double relBandWidth = 0;
    double S = 0;     // universal function at xi
    double flux = 0;  // ph/s/mrad
    double X = 0, Y = 0, eta = 0;
    double k1 = 0, k2 = 0;                            // K1/3 and K2/3 at eta
    double sigPsi = 0;                                // rad
    double densSigma = 0, densPi = 0, densTotal = 0;  // ph/s/mrad^2
    double power = 0;                                 // W
    double angularPower = 0;                          // W/mrad
    double powDensSource = 0;                         // W/mm^2
    double powDensZ = 0;                              // W/mm^2 at distance z, normal incidence
    double powDensInclined = 0;                       // W/mm^2 at distance z on the inclined surface
};

// Refusals of inputs that have no physical meaning.
inline constexpr const char* kWaveLengthText = "the photon wavelength must be greater than 0 Å!";

// Steps 1 (after the caller's ReadSourcePar) to 18 of the recalculation. Writes NPoles := 1,
// CritEnergy and RelBandWidth. Throws InputError for a field that is not a number and
// FloatError for a floating-point fault; r holds every step completed before.
void RecalcSRPar(const BendingMagnetInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                 const Tabulated& tab, double& CritEnergy, double& RelBandWidth, BendingMagnetResult& r);

// Bending radius (m) as the field edit shows it: beam energy over (c/1e9) over the field.
double BendingRadiusFromField(double beamEnergyGeV, double field);

// One result field of the window: its objectName, the caption of its row, the unit of the
// value (without prefix), the unit label the window shows before any result, and the
// objectName of that label when a prefix makes it change (empty otherwise).
struct BendingMagnetField {
    const char* name;
    const char* label;
    const char* unit;
    const char* designUnit;
    const char* unitLabel;
};
// Every result field in the order of the steps that compute them.
const std::vector<BendingMagnetField>& BendingMagnetFields();

// The results of every step completed in r, as the window shows them. The value of a field
// the window leaves empty (the critical wavelength of a critical energy of 0 or below) is NaN.
ResultFields BendingMagnetResults(const BendingMagnetResult& r);

// The displayed texts of every step completed in r, as (objectName, text) pairs in the
// order of the steps; unit labels with a prefix are among them.
std::vector<std::pair<std::string, std::string>> BendingMagnetTexts(const BendingMagnetResult& r);

}  // namespace lumerad
