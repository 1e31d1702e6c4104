#include "core/coherent/form_factor.h"

#include <algorithm>
#include <cmath>

#include "core/numerics/constants.h"
#include "core/numerics/data_file.h"
#include "core/numerics/errors.h"
#include "core/numerics/messages.h"
#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"
#include "core/numerics/units.h"

namespace lumerad {

namespace {
constexpr double kScanFloor = 1e-6;  // the Gaussian scan stops below it, the uniform one holds it
// exp(-2 pi x^2) < 1e-6 beyond this x: where the Gaussian scan ends at the latest
const double kGaussianEndX = std::sqrt(std::log(1e6) / TwoPi);

void requirePositiveLength(double length) {
    if (!(length > 0)) throw InputError("the bunch length must be greater than 0!");
}
}  // namespace

std::optional<BunchShape> bunchShapeOf(const std::string& distribution) {
    if (distribution == "g") return BunchShape::Gaussian;
    if (distribution == "r") return BunchShape::Uniform;
    return std::nullopt;
}

const char* bunchShapeName(BunchShape shape) {
    return shape == BunchShape::Gaussian ? "gaussian" : "uniform";
}

double gaussianFormFactor(double length, double lambda) {
    const double x = length / lambda;
    const double f = std::exp(-Pi * x * x);
    return f * f;
}

double uniformFormFactor(double length, double lambda) {
    const double x = Pi * length / lambda;
    if (x == 0) return 1.0;  // the limit of sin x / x
    const double f = std::sin(x) / x;
    return f * f;
}

double formFactor(BunchShape shape, double length, double lambda) {
    return shape == BunchShape::Gaussian ? gaussianFormFactor(length, lambda)
                                         : uniformFormFactor(length, lambda);
}

double IntFFG(double length) {
    requirePositiveLength(length);
    constexpr double dx = 0.004;
    double s = 0;
    for (int i = 0; i < 1000; ++i) {
        const double x = (i + 0.5) * dx;
        s += std::exp(-x * x) * dx;
    }
    return std::sqrt(TwoPi) * CLight / length * s;
}

double IntFFR(double length) {
    requirePositiveLength(length);
    double s = 0;
    for (int i = 0; i < 1000; ++i) {
        const double x = i + 0.5;
        const double f = std::sin(x) / x;
        s += f * f;
    }
    return 2.0 * CLight / length * s;
}

FormFactorPoints formFactorScan(BunchShape shape, double length, double kMin, double kMax, double dk) {
    if (!(dk > 0)) throw InputError("the increment must be greater than 0!", "Edelwvn");
    if (!(kMin >= 0)) throw InputError(kNegativeFirstWavenumberText, "Eminwvn");
    if (!(kMax >= kMin)) throw InputError(kEmptyWavenumberRangeText, "Emaxwvn");
    requirePositiveLength(length);
    const bool gaussian = shape == BunchShape::Gaussian;
    // s: what turns a wavenumber (1/cm) into the phase x of the form factor.
    double s = 100.0 * length;  // the bunch length in cm
    if (!gaussian) s = s * Pi;
    const double dx = dk * s;
    const double xMax = kMax * s;
    double x = gaussian ? kMin * s - dx : (kMin - dk) * s;

    // The scan runs from x to the last point it may reach; the step must move both ends, and
    // the points must stay countable.
    const double xEnd = gaussian ? std::min(xMax, std::max(kGaussianEndX, x)) : xMax;
    const double last = std::max(x, xEnd);
    if (x + dx == x || last + dx == last)
        throw InputError("the increment is too small to change the wavenumber!");
    const double span = std::max(0.0, last - x);
    if (span / dx + 2 > kMaxFormFactorPoints)
        throw InputError("the scan would have more than " + std::to_string(kMaxFormFactorPoints) +
                         " points: choose a larger increment or a smaller range!");

    FormFactorPoints p;
    p.k.reserve(static_cast<size_t>(span / dx) + 3);
    p.ff.reserve(p.k.capacity());
    if (gaussian) {
        double ff = 1.0;
        while (ff >= kScanFloor && x <= xMax) {
            x = x + dx;
            const double e = std::exp(-Pi * x * x);
            ff = e * e;
            p.k.push_back(x / s);
            p.ff.push_back(ff);
        }
    } else {
        while (x < xMax) {
            x = x + dx;
            double ff = 1.0;
            if (x != 0) {
                const double f = std::sin(x) / x;
                ff = f * f;
            }
            if (ff < kScanFloor) ff = kScanFloor;
            p.k.push_back(x / s);
            p.ff.push_back(ff);
        }
    }
    checkFloatFaults();
    return p;
}

double bunchLengthOfDuration(double bunchDurationFs) { return bunchDurationFs * CLight * 1e-15; }

FormFactorValue formFactorAt(const std::string& wavelen, const std::string& distribution,
                             double bunchDurationFs, Messages& messages) {
    FormFactorValue v;
    v.Lff = {"Lff", "form factor", 0, "", "", ""};
    if (wavelen == "999.99") {
        messages.info(kSelectWavelengthText);
        v.wavelenText = "100.0";
        return v;
    }
    v.lambda = micronsToMeters(parseReal(wavelen, "wavelen"));
    if (v.lambda < 0) throw InputError(kNegativeWavelengthText, "wavelen");
    if (v.lambda == 0) {
        messages.info(kSelectWavelengthText);
        v.lambda = 1e-4;
    }
    v.length = checkedValue(bunchLengthOfDuration(bunchDurationFs));
    const std::optional<BunchShape> shape = bunchShapeOf(distribution);
    if (!shape) {
        messages.info(kSelectDistributionText);
        return v;
    }
    v.FF = checkedValue(formFactor(*shape, v.length, v.lambda));
    v.computed = true;
    v.Lff.value = v.FF;
    v.Lff.text = formFactorCaption(*shape) + " " + FormatFixed3(v.FF);
    return v;
}

std::string formFactorCaption(BunchShape shape) {
    return std::string("the form factor for a ") + bunchShapeName(shape) + " beam is";
}

std::vector<std::pair<int, std::string>> formFactorCurveLines(BunchShape shape, double length) {
    return {{1, std::string("distribution:     ") + bunchShapeName(shape)},
            {2, "eff.bunchlength   " + pattern("%6.3f", length) + " m"}};
}

std::string formFactorFileLine(double k, double ff) { return dataFileLine({k, ff}); }

}  // namespace lumerad
