#pragma once
// Longitudinal form factor of a micro-bunch, for the two bunch shapes of the catalogue: a
// Gaussian and a uniform (rectangular) charge distribution in time. L is the effective bunch
// length (m): the full length of a uniform bunch, and for a Gaussian bunch the integral of
// its profile over its peak, so that the profile is exp(-pi z^2 / L^2). With the wavelength
// lambda (m):
//   Gaussian: FF = (exp(-pi (L/lambda)^2))^2
//   uniform:  FF = (sin x / x)^2, x = pi L / lambda, and FF = 1 at x = 0.
// Shared by the single-pass undulator, the transition radiation and the form-factor scan.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/numerics/result_field.h"

namespace lumerad {

class Messages;

enum class BunchShape { Gaussian, Uniform };

// "g" is the Gaussian bunch, "r" the uniform one; anything else has no shape.
std::optional<BunchShape> bunchShapeOf(const std::string& distribution);
// "gaussian" or "uniform".
const char* bunchShapeName(BunchShape shape);
// "the form factor for a gaussian beam is": the caption of the single value, before its number.
std::string formFactorCaption(BunchShape shape);

inline constexpr const char* kSelectDistributionText = "select valid particle distribution, g or r";

double gaussianFormFactor(double length, double lambda);
double uniformFormFactor(double length, double lambda);
double formFactor(BunchShape shape, double length, double lambda);

// The form factor integrated over angular frequency (rad/s), by a midpoint sum of 1000 terms:
// Gaussian over x = 0..4 of exp(-x^2), uniform over x = 0..1000 of (sin x / x)^2. Both refuse
// (InputError) a bunch length of 0 or below: the integral of a point bunch has no end.
double IntFFG(double length);
double IntFFR(double length);

// A scan of the form factor over wavenumbers k (1/cm) from kMin to kMax in steps dk. The
// abscissa advances by repeated addition of the step in units of the bunch length, so the
// points fall where the scan of the window has always put them: the Gaussian scan ends after
// the first point past kMax or the first whose form factor fell below 1e-6 (that point
// included); the uniform scan ends with the first point at or past kMax, and its form factor
// is held at 1e-6 or above for logarithmic plots.
struct FormFactorPoints {
    std::vector<double> k, ff;
    int size() const { return static_cast<int>(k.size()); }
};

inline constexpr int kMaxFormFactorPoints = 100001;
inline constexpr const char* kNegativeFirstWavenumberText = "the first wavenumber must not be negative!";
inline constexpr const char* kEmptyWavenumberRangeText =
    "the last wavenumber must not be below the first: the scan has no point!";
inline constexpr const char* kNegativeWavelengthText = "the wavelength must not be negative!";

// Refuses (InputError, before any point is made) what the scan cannot end or cannot make:
// a step of 0 or below, a negative first wavenumber, a last one below the first, a step too small to move the
// wavenumber, a bunch length of 0 or below (a Gaussian point bunch never falls below 1e-6, a uniform one
// makes no point), more than kMaxFormFactorPoints points.
FormFactorPoints formFactorScan(BunchShape shape, double length, double kMin, double kMax, double dk);

// The single value of the form-factor window at the wavelength typed in um, for a bunch of
// the given duration (fs; the length is c times it). The text "999.99" and a wavelength of 0
// get the message "select valid wavelength!" (the first also resets the field to "100.0" and
// computes nothing; the second goes on at 100 um); a negative wavelength is refused.
inline constexpr const char* kSelectWavelengthText = "select valid wavelength!";
// The design texts of the window's inputs.
struct FormFactorInputs {
    std::string wavelen = "100";  // um
    std::string Eminwvn = "0";    // first wavenumber of the scan, 1/cm
    std::string Emaxwvn = "100";  // last wavenumber, 1/cm
    std::string Edelwvn = "1.0";  // step, 1/cm
};
struct FormFactorValue {
    bool computed = false;
    double lambda = 1e-4;  // m
    double length = 0;     // m
    double FF = 0;
    std::optional<std::string> wavelenText;  // new text of the wavelength field
    ResultField Lff;                         // the result label
};
FormFactorValue formFactorAt(const std::string& wavelen, const std::string& distribution,
                             double bunchDurationFs, Messages& messages);

// The bunch length (m) of a duration in fs, as the form-factor window computes it.
double bunchLengthOfDuration(double bunchDurationFs);

// The parameter lines of a scan's curve: (1, "distribution:     gaussian"),
// (2, "eff.bunchlength   " + the length in m with "%6.3f" + " m").
std::vector<std::pair<int, std::string>> formFactorCurveLines(BunchShape shape, double length);

// One line of the form-factor file: wavenumber and form factor in 23-character fields, CR LF.
std::string formFactorFileLine(double k, double ff);

}  // namespace lumerad
