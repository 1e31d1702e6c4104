#pragma once
// Flux of one undulator harmonic, the line spectrum of the odd harmonics and the tuning
// scans over gap or K, on the state the undulator calculation left (fundamental wavelength,
// K, source sizes). The windows and the command line call these and show their texts.
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/messages.h"
#include "core/numerics/result_field.h"
#include "core/sources/magnet_model.h"
#include "core/state/beam_state.h"
#include "core/state/magnet_state.h"

namespace lumerad {

inline constexpr const char* kNoUndulatorYetText =
    "there is no undulator calculation yet: open the undulator window, pick an undulator and press "
    "\"recalculate\"!";
inline constexpr const char* kOddHarmonicText = "harmonics must be an odd number < 30 !";
inline constexpr const char* kLastHarmonicText = "the last harmonic must be an odd number from 1 to 29 !";
inline constexpr const char* kFirstHarmonicText = "the first harmonic must be an odd number from 1 to 29 !";
inline constexpr const char* kTooManyCurvesText = "too many curves;choose \"replace\"!";
inline constexpr const char* kScanNeedsPMText =
    "the tuning scans work on a permanent-magnet undulator (magnet type PM) only: choose one!";
inline constexpr const char* kNoListYetText =
    "there is no accepted list of harmonics yet: press \"recalculate\"!";
inline constexpr const char* kPositiveBandWidthText = "the band width must be greater than 0 %!";
inline constexpr const char* kNegativeKText = "K_min and K_max must not be negative!";
inline constexpr const char* kNegativeGapText = "min. gap and max. gap must not be negative!";
inline constexpr const char* kZeroGapText = "min. gap must be above 0 mm: a gap of 0 is a closed magnet!";
inline constexpr const char* kGapTooLargeText = "min. gap and max. gap must be at most 1000 mm!";
inline constexpr const char* kKTooLargeText = "K_min and K_max must be at most 1000!";
inline constexpr const char* kFlatGapRangeText =
    "the gap range gives a single K-value: choose min. gap and max. gap with different fields!";
inline constexpr const char* kFlatKRangeText = "K_min and K_max must differ!";

inline constexpr int kHarmonicTableSize = 30;  // harmonics 0..29
inline constexpr int kScanPoints = 101;

// Radiation quantities of the line spectrum, by item of the selector (-1: none selected).
enum LineQuantity { kLineAngularFlux = 0, kLineFlux = 1, kLineFluxDensity = 2, kLineBrightness = 3 };
std::string lineQuantityItem(int q);     // "angular flux, ph/s/sr", ...
std::string lineQuantityCaption(int q);  // "flux, ph/sec/sr ", ...; empty for no item

// Beam sizes of the beam state in the units of the beam record (um, urad).
BeamSizesAtSource beamSizes(const CurrentBeam& beam);

// --- Flux window

struct UndFluxResult {
    int completed = 0;  // 1: header, 2: everything
    int harmonic = 0;
    double photonEnergy = 0;  // eV
    double wavelength = 0;    // m, of the harmonic
    double coneAngle = 0;     // rad
    double relBandWidth = 0;
    double FOmega = 0;  // ph/s/sr
    double F = 0;       // ph/s
    double D = 0;       // ph/s/m^2
    double B = 0;       // ph/s/mm^2/mrad^2
    double Bd = 0;      // ph/s/mm^2/mrad^2
    double eta = 0;     // coherent fraction
};

// The design text of the window's input: the band width in percent.
struct UndFluxInputs {
    std::string EdtBW = "0.1";
};

// The flux, flux density, brightness and coherent fraction of the harmonic of the
// undulator state, for the band width in percent: the source sizes are those of the
// harmonic's own wavelength (PhotonBeamSize, written into the magnet state). Refuses
// (InputError) a state without an undulator calculation.
void UndFluxCalculate(const std::string& EdtBW, const CurrentBeam& beam, MagnetState& magnet,
                      const UndulatorState& und, UndFluxResult& r);
ResultFields UndFluxTexts(const UndFluxResult& r);

// --- Line spectrum

// The list kept between calculations: the last accepted harmonic range and the tables.
struct LineListState {
    bool accepted = false;
    int iFrom = 0, iTo = 0;
    double parity = 0;
    std::array<double, kHarmonicTableSize> lambda{}, eps{}, F{}, w{};
    // The harmonics of the list, i_from, i_from + 2, ... up to i_to (at least i_from).
    std::vector<int> harmonics() const;
};

struct LineListInputs {
    std::string BW = "0.1";
    std::string fharm = "1";
    std::string toharm = "1";
    int quantity = kLineAngularFlux;
};

struct LineListResult {
    int completed = 0;    // 1: beam and magnet fields, 2: everything
    ResultFields header;  // periods, LenPer, stUndlen, KPar, lam0, ephi0, lami, lamf, ephii, ephif
    std::vector<std::array<std::string, 5>> rows;  // cells of ListLS
    int refusedHarmonic = 0;                       // 1: the first harmonic refused, 2: the last
};

// The radiation quantity of harmonic i at deflection K for an undulator of fundamental
// wavelength fundWaveLen; leaves the source sizes of the harmonic in the magnet state.
double RadFlux(int i, int quantity, double K, double fundWaveLen, const CurrentBeam& beam,
               MagnetState& magnet, double relBandWidth);
// The same without the test of the flags and the value, for a scan that tests its points, and
// with the harmonic's Bessel factor at K given (harmonicBesselFactor), which a scan computes
// for many points at once.
double radFluxUnchecked(int i, int quantity, double K, double fundWaveLen, const CurrentBeam& beam,
                        MagnetState& magnet, double relBandWidth, double besselFactor);

// Lists the harmonics. A refused range (first harmonic not odd or outside 1..29, last
// harmonic even or 30 and more) shows its message and returns false before any work; the
// list state then keeps the last accepted range and tables. Writes RelBandWidth and
// FundPhotEn.
bool LineListCalculate(const LineListInputs& in, const CurrentBeam& beam, MagnetState& magnet,
                       UndulatorState& und, double& RelBandWidth, LineListState& list, Messages& messages,
                       LineListResult& r);

// --- Tuning scans

enum class ScanKind { Gap, K };
enum class ScanAbscissa { PhotonEnergy, K, Gap };

struct TuningScanInputs {
    std::string edGapmin = "5", edGapmax = "50";  // mm
    std::string edKmin = "0", edKmax = "5";
    ScanKind kind = ScanKind::Gap;
    ScanAbscissa abscissa = ScanAbscissa::PhotonEnergy;
    int quantity = kLineAngularFlux;
};

struct TuningCurve {
    int harmonic = 0;
    std::vector<std::pair<int, std::string>> info;  // parameter lines 1..12
    std::vector<double> x, y;
};

struct TuningScanResult {
    double xmin = 0, xmax = 0;
    std::vector<TuningCurve> curves;
    std::string xCaption;  // the bottom axis
    std::string yCaption;  // the left axis; empty with no quantity selected
};

// The scan's range and the checks made before any point is computed.
struct TuningScanSetup {
    double xmin = 0, xmax = 0;
    std::vector<int> harmonics;
};
TuningScanSetup TuningScanCheck(const TuningScanInputs& in, const LineListState& list,
                                const MagnetState& magnet);

// One free curve per plotted harmonic; true when the scan's curves fit on the graph.
bool enoughFreeCurves(int maxCurves, int curveCount, int harmonics, bool replace);

// Constant part of every scan point.
struct TuningScanContext {
    ScanKind kind = ScanKind::Gap;
    ScanAbscissa abscissa = ScanAbscissa::PhotonEnergy;
    int quantity = kLineAngularFlux;
    double t = 0;  // period / (2 gamma^2), m
    double relBandWidth = 0;
    const CurrentBeam* beam = nullptr;
};

struct TuningPoint {
    double K = 0;
    double photonEnergy = 0;  // eV, of the harmonic at this K
    double X = 0;             // abscissa
    double y = 0;             // radiation quantity
};

// The point at scan coordinate x (gap in mm or K) of harmonic i. magnet is the scan's
// working copy of the magnet state (its source sizes follow the point). Its values are
// refused when not finite; the floating-point flags are left for the scan to test once.
TuningPoint tuningScanPoint(const TuningScanContext& c, int i, double x, MagnetState& magnet,
                            Messages& messages);

// Every curve of the scan. The shared magnet state is not touched (the scan works on a copy),
// and each message of the magnet model is shown once per scan.
TuningScanResult TuningScanCalculate(const TuningScanInputs& in, const LineListState& list,
                                     const CurrentBeam& beam, const MagnetState& magnet, double RelBandWidth,
                                     Messages& messages);

// One line of the tuning-scan file.
std::string tuningFileLine(double X, double y);

// Passes each distinct message on once.
class OnceMessages : public Messages {
public:
    explicit OnceMessages(Messages& target) : target_(target) {}
    void error(const std::string& text) override;
    void info(const std::string& text) override;
    bool question(const std::string& text) override { return target_.question(text); }

private:
    bool first(const std::string& text);
    Messages& target_;
    std::vector<std::string> shown_;
};

}  // namespace lumerad
