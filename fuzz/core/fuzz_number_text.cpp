// Numbers to text and back: the data-file field (15 significant digits, 23 characters) of
// any finite double reads back through the program's own parser within the rounding of 15
// digits; general(17) reads back exactly; no pattern ever gives an empty text.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "core/numerics/number_text.h"
#include "core/numerics/text_to_number.h"

using namespace lumerad;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < sizeof(double) + 2) return 0;
    double v;
    std::memcpy(&v, data, sizeof v);
    const int p = data[sizeof v] % 20;  // precisions out of range are held to 2..18
    const int d = data[sizeof v + 1] % 8;
    const std::string g = general(v, p, d), f = fixed(v, p, d), e = exponent(v, p, d);
    if (g.empty() || f.empty() || e.empty()) std::abort();
    if (!std::isfinite(v)) return 0;

    const std::string field = dataField(v);
    if (field.size() != 23) std::abort();
    const double back = parseReal(field);
    // 15 significant digits are within half a unit of the 15th digit (5e-15 of a mantissa of
    // 1), and reading back rounds once more to the nearest double (a subnormal one apart)
    const double bound = (5e-15 + 4 * std::numeric_limits<double>::epsilon()) * std::fabs(v);
    if (std::fabs(back - v) > bound + std::numeric_limits<double>::denorm_min()) std::abort();

    const std::string exact = general(v, 17);
    const double again = parseReal(exact);
    if (again != v && !(v == 0 && again == 0)) {
        // a subnormal keeps fewer than 17 digits
        if (std::fabs(v) >= 2.2250738585072014e-308) std::abort();
    }
    return 0;
}
