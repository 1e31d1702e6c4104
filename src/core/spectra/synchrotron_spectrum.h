#pragma once
// Spectra of bending-magnet radiation (and of a wiggler as a chain of bending-magnet poles):
// six quantities over photon energy on a geometric grid, or the two polarisation
// quantities over the vertical observation angle at one photon energy. The window calls
// these steps in order and does the graph and file output in between.
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/data_file.h"
#include "core/numerics/result_field.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

class Tabulated;
class Messages;

// The quantities of the selector, by item index.
enum SpectrumItem {
    kAngularFlux = 0,
    kSpatialFluxDensity = 1,
    kAngularFluxDensity = 2,
    kSigmaPi = 3,
    kSigmaPiNormalized = 4,
    kDivergence = 5,
};

inline constexpr int kMaxSpectrumPoints = 1001;
// A scan whose step no longer changes its variable (a minimum photon energy among the
// subnormal doubles) is refused before it starts.
inline constexpr const char* kStepStallsText =
    "the step no longer changes the photon energy: raise the minimum photon energy!";
inline constexpr const char* kAngleStepStallsText =
    "the step no longer changes the observation angle: raise the angle step!";
inline constexpr const char* kStepTooSmallText = "step size too small! will be set to 0.1%!";
inline constexpr const char* kNoPiFromWigglerText = "there is no pi-mode polarization from a wiggler magnet!";
inline constexpr const char* kPhotonEnergyPositiveText = "the photon energy must be greater than 0 eV!";

// The design texts of the window's inputs.
struct SpectrumInputs {
    std::string BW = "0.1";           // band width, %
    std::string Hobs = "0.0";         // horizontal observation angle, mrad
    std::string e_phmin = "10.0";     // lowest photon energy, eV
    std::string e_phmax = "25000.0";  // highest photon energy, eV
    std::string De_ph = "5.0";        // step of the photon energy, %
    std::string edVAng = "0.0";       // vertical observation angle, 1/gamma
    std::string edAngMax = "1.0";     // largest vertical angle of the angle scan, 1/gamma
    std::string edDAng = "0.1";       // its step, 1/gamma
    std::string edPhEn = "100";       // its photon energy, eV
};

// Step A.1: observation point of the calculation.
struct ObservationPoint {
    double HorObsAngle = 0;  // rad
    double ObsField = 0;     // T
    bool wiggler = false, bendingMagnet = false;
    std::string Hobs;         // new text of the horizontal-angle field
    std::string HobsMax;      // new caption of the maximum-angle text
    std::string HobsMaxHint;  // and its hint
};
// previous: the values of the last calculation, kept when neither mode flag is set.
ObservationPoint observationPoint(bool wigglerMode, bool bendMagMode, const MagnetState& magnet,
                                  const CurrentBeam& beam, const ObservationPoint& previous);

// Step A.2: critical photon energy (eV) for beam energy E (GeV) and field (T).
double spectrumCritEnergy(double E, double field);

// Step A.4: the relative band width from its text in percent (field BW); refuses a negative
// band and one wider than the photon energy itself.
double spectrumRelBandWidth(const std::string& percentText);

// Step A.3: the critical energy as the window shows it (Ephcrit, its unit label LeV3).
ResultField spectrumCritEnergyField(double critEnergy);

// Steps A.5 and A.6: the photon-energy range and the step factor. A step below 0.1 % is
// set to 0.1 % after a message; stepReset tells that the step field must show "0.1".
struct EnergyScan {
    double emin = 0, emax = 0, f = 1;
    bool stepReset = false;
};
EnergyScan energyScanSettings(const std::string& e_phmin, const std::string& e_phmax,
                              const std::string& De_ph, Messages& messages);

// The number of points of a scan, counted the way the scan builds its abscissae. Both
// refuse (InputError with the reason) what the scan cannot do: a minimum photon energy or
// an angle step of 0 or below, or more than kMaxSpectrumPoints points.
int energyScanPointCount(const EnergyScan& scan);
int angleScanPointCount(double psiMax, double dPsi);

// Step D: the factors of the scan.
struct SpectrumFactors {
    double A = 0;     // ph/s/rad for S = 1
    double B = 0;     // ph/s/rad^2
    double C = 0;     // rad
    double psiV = 0;  // vertical observation angle, 1/gamma
    double P = 0;     // (1 + psiV^2)^1.5
};
SpectrumFactors spectrumFactors(const CurrentBeam& beam, int nPoles, double relBandWidth, double psiV);

struct SpectrumPoints {
    std::vector<double> x;      // photon energy (eV) or vertical angle (1/gamma)
    std::vector<double> value;  // value, or the sigma-mode value
    std::vector<double> pi;     // pi-mode value (items 3 and 4)
    int size() const { return static_cast<int>(x.size()); }
};

// Step E: sigma and pi mode over the vertical angle at photon energy phEn (eV). Only the
// polarisation items make points.
SpectrumPoints angleScanPoints(int item, const Tabulated& tab, double psiMax, double dPsi, double phEn,
                               double critEnergy, const SpectrumFactors& k);

// One point of the energy scan at photon energy e (eV): the item's value and, for the
// polarisation items, the pi-mode value (0 from a wiggler). area is 2 pi sigma_x sigma_y of the
// beam in mm^2. The normalised item gives both values before the division by the scan's first
// sigma-mode value, and without the factor 1e-6 that the division cancels.
struct SpectrumPoint {
    double value = 0, pi = 0;
};
SpectrumPoint energyScanPoint(int item, bool wigglerMode, const Tabulated& tab, double e, double critEnergy,
                              double area, const SpectrumFactors& k);
// energyScanPoint at the n photon energies e, into value[i] and, for the polarisation items,
// pi[i]: the same bits, at a few nanoseconds a point. Another item writes nothing.
void energyPoints(int item, bool wigglerMode, const Tabulated& tab, const double* e, long n,
                  double critEnergy, double area, const SpectrumFactors& k, double* value, double* pi);
// 2 pi sigma_x sigma_y of the beam in mm^2, the area of the spatial flux density.
double spectrumSourceArea(const CurrentBeam& beam);
// The normalised item: the n points' values over the sigma-mode value of the first point (which
// becomes 1); pi-mode values likewise, unless from a wiggler.
void normaliseToFirstPoint(double* value, double* pi, long n, bool wigglerMode);
// Step F: the item over photon energy.
SpectrumPoints energyScanPoints(int item, bool wigglerMode, const Tabulated& tab, const EnergyScan& scan,
                                double critEnergy, const CurrentBeam& beam, const SpectrumFactors& k);

// The refusal of a divergence spectrum that reaches beyond 70 critical energies.
std::string divergenceOutOfReachText(double critEnergy);

// Texts of the item: the selector's item, the axis caption, the file's title and column lines.
std::string spectrumItemText(int item);
std::string spectrumAxisCaption(int item);
std::string spectrumTitleLine(int item, bool angleScan);
std::string spectrumColumnLine(int item);
// Step 17: the information line of the sigma and the pi curve.
std::string sigmaCurveText(int item);
std::string piCurveText(int item);

// The title and column lines of the file of an item, and the line of point i.
std::string spectrumFileHeader(int item, bool angleScan);
std::string spectrumFilePointLine(int item, const SpectrumPoints& pts, int i);

// The parameter lines of the current curve, (line index, text); lines not written are
// absent, empty texts clear the line.
struct LegendInput {
    std::string BeamName, SrcName;
    double E = 0, I = 0, EmitX = 0;
    double ObsField = 0, HorObsAngle = 0, PerLength = 0, RelBandWidth = 0;
    int NPoles = 0;
    bool wigglerMode = false, bendMagMode = false;
    bool vsAngle = false;
    std::string edPhEn, edVAng;  // texts of the two fields
};
// Lines 1 to 4 of a curve's information, which name the beam: ring, energy (GeV), current
// (A, shown in mA) and horizontal emittance (m, shown in nm).
std::vector<std::pair<int, std::string>> beamInfoLines(const std::string& name, double E, double I,
                                                       double emitX);

std::vector<std::pair<int, std::string>> curveLegendLines(const LegendInput& in);

}  // namespace lumerad
