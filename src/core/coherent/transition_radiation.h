#pragma once
// Transition radiation of a single-pass bunch crossing a metal boundary (Ginzburg-Frank, normal
// incidence): the spectral energy at one photon energy into a relative band width, into the
// half space and into an acceptance cone, per micro-bunch, per macro-pulse and as average
// power; for a coherently radiating bunch also the energy of the whole spectrum into the cone.
//
// The calculation takes the window's texts and the current beam record, keeps the window's
// state between calculations (acceptance angle, which angle field the user edited last, the
// form factors) and returns the displayed texts. Messages that let the calculation go on go to
// Messages; refusals throw InputError before any result is returned.
#include <optional>
#include <string>
#include <vector>

#include "core/numerics/result_field.h"

namespace lumerad {

class Messages;

enum class PhotonUnit { eV, m, Angstrom, perCm, THz };

// The caption of the photon label and the unit label for each unit.
const char* photonUnitCaption(PhotonUnit unit);  // "photon energy", "wave length", ...
const char* photonUnitLabel(PhotonUnit unit);    // "eV", "m", "Angstrom", "1/cm", "THz"

// The fields of the current single-pass beam record that the calculation reads.
struct TransitionRadiationBeam {
    double gamma = 0;            // field "gamma"
    double partPerBunch = 0;     // "Part/Bunch", 1e8 electrons
    double bunchesPerPulse = 0;  // "Bunches/Pulse"
    double pulseRepRate = 0;     // "PulseRepRate", Hz
    double bunchDuration = 0;    // "BunchDuration", fs
    std::string distribution;    // "PartDistribution": "g" or "r"
};

// The texts of the window's inputs.
struct TransitionRadiationInputs {
    std::string photon = "1.0";  // EdtPhEn
    PhotonUnit unit = PhotonUnit::eV;
    std::string bandWidth = "0.001";  // EdtBnWdth, relative
    bool coherent = true;
    std::string angleGamma = " ";  // EdtAngAccGam, units of 1/gamma
    std::string angleMrad = " ";   // EdtAngAccmr, mrad
};

// Kept by the window between calculations.
struct TransitionRadiationState {
    double theta = 0;  // acceptance half-angle, rad
    bool AccAngFromGamma = false;
    bool AccAngFromMrad = false;
    double lambda = 0;  // m
    double E = 0;       // eV
    double FF = 0;      // form factor
    double IFF = 0;     // integrated form factor, rad/s
};

struct TransitionRadiationResult {
    std::vector<std::string> convertLines;                     // cbConvert; empty: not refreshed
    std::optional<std::string> bandWidthText;                  // new text of EdtBnWdth (it was empty)
    std::optional<std::string> angleGammaText, angleMradText;  // rewritten angle fields
    bool coherent = true;
    double lambda = 0, E = 0;  // m, eV
    double bandWidth = 0;
    double FF = 0, IFF = 0;
    double F = 0, G = 0;                 // angular integrals over the half space and the cone
    double Neff = 0;                     // electrons radiating at the photon energy
    double W = 0, Wpulse = 0, P = 0;     // half space: J/bunch, J/pulse, W
    double Wa = 0, WaPulse = 0, Pa = 0;  // acceptance cone
    double Wt = 0, WtPulse = 0, Pt = 0;  // whole spectrum into the cone (coherent only)
    double theta = 0;                    // rad
    // The result fields as the window shows them, by objectName: EdtFormF, EdtTradBun,
    // EdtTradPls, EdtRadPow, EdtAccEnBun, EdtAccEnPls, EdtAccPow, EdtTEnthBun, EdtTEnthPlse,
    // EdtTPowtheta (empty when incoherent).
    ResultFields fields;
};

inline constexpr const char* kSelectPhotonEnergyText = "select photon energy !";
inline constexpr const char* kSelectBandWidthText = "select desired band width!";
inline constexpr const char* kAngleGammaTooLargeText = "acceptance angle must be less than 90deg !";
inline constexpr const char* kAngleMradTooLargeText = "acceptance angle must be less than 90 degrees !";
inline constexpr const char* kNegativeAngleText = "the acceptance angle must not be negative!";
inline constexpr const char* kTRBandWidthTooLargeText = "the band width must be at most 1 (relative)!";
// After the caption of the photon entry ("the photon energy ...").
inline constexpr const char* kPhotonRangeText = " must give a wave length from 1E-15 m to 1000 m!";

// The constant of the spectral energy, mc^2 e r_e / (2 pi hbar c) = alpha / (2 pi).
double transitionRadiationConstant();
// The angular integrals of the Ginzburg-Frank distribution for velocity beta: over the half
// space, and over the cone of half-angle theta (0 at theta = 0, F at theta = pi/2).
double halfSpaceIntegral(double beta);
double coneIntegral(double beta, double theta);

// The list of the unit drop-down for a wavelength (m).
std::vector<std::string> photonEnergyEquivalents(double lambda);

// CalculateTR from step 2 on (the caller stores the record and reads it for step 1).
void CalculateTR(const TransitionRadiationInputs& in, const TransitionRadiationBeam& beam,
                 TransitionRadiationState& state, Messages& messages, TransitionRadiationResult& r);

}  // namespace lumerad
