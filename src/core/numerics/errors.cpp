#include "core/numerics/errors.h"

#include <cfenv>
#include <cmath>

namespace lumerad {

void clearFloatFaults() { std::feclearexcept(FE_ALL_EXCEPT); }

void checkFloatFaults() {
    const int raised = std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    if (raised == 0) return;
    std::feclearexcept(FE_ALL_EXCEPT);
    if (raised & FE_DIVBYZERO) throw FloatError(kDivByZeroText);
    if (raised & FE_INVALID) throw FloatError(kInvalidOpText);
    throw FloatError(kOverflowText);
}

double checkedValue(double v) {
    checkFloatFaults();
    if (std::isnan(v)) throw FloatError(kInvalidOpText);
    if (std::isinf(v)) throw FloatError(kOverflowText);
    return v;
}

}  // namespace lumerad
